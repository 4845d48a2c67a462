#include "Picker.h"

#include "Handles.h"
#include "TypingPlan.h"

namespace tavro::type {

int PickEntry(HWND owner, const RECT& anchor,
              const std::vector<TSection>& entries) {
  const win::UniqueMenu menu(CreatePopupMenu());
  if (entries.empty())
    AppendMenuA(menu.get(), MF_STRING | MF_GRAYED, 0, kNoEntries);
  for (std::size_t i = 0; i < entries.size(); ++i)
    AppendMenuA(menu.get(), MF_STRING, i + 1,
                PickerLabel(static_cast<int>(i), entries[i].Title).c_str());
  // A menu takes keys only while its window is visible, on screen and in
  // front; a pixel at the caret, behind the menu, is enough.
  SetWindowPos(owner, HWND_TOPMOST, anchor.left, anchor.bottom, 1, 1,
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  SetForegroundWindow(owner);
  // Highlights the first item as a key would; a drawn highlight alone
  // would let Enter pick nothing.
  PostMessageA(owner, WM_KEYDOWN, VK_DOWN, 0);
  TPMPARAMS keepFree{};
  keepFree.cbSize = sizeof keepFree;
  keepFree.rcExclude = anchor;
  const int id = static_cast<int>(
      TrackPopupMenuEx(menu.get(),
                       TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN |
                           TPM_TOPALIGN | TPM_VERTICAL | TPM_LEFTBUTTON,
                       anchor.left, anchor.bottom, owner, &keepFree));
  // Lets the menu's modal loop end before the window goes.
  PostMessageA(owner, WM_NULL, 0, 0);
  ShowWindow(owner, SW_HIDE);
  return id - 1;
}

}  // namespace tavro::type
