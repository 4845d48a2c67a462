// What a list view and a menu show, read from the controls themselves as
// a user sees them, and a row selected as a click selects it.
#pragma once

#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <string>
#include <vector>

namespace tavro::test {

inline std::string ItemText(HWND list, int row, int column) {
  std::vector<char> buffer(1024);
  for (;;) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto length = static_cast<std::size_t>(SendMessageA(
        list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)));
    if (length + 1 < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

inline void SelectRow(HWND list, int row) {
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED;
  state.state = LVIS_SELECTED;
  SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
}

inline bool MenuItemEnabled(HMENU menu, UINT id) {
  return (GetMenuState(menu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) ==
         0;
}

}  // namespace tavro::test
