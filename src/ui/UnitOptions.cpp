#include "UnitOptions.h"

#include <algorithm>

#include "Errors.h"
#include "Language.h"

namespace tavro::ui {

namespace {
// Neither is IDCANCEL, which the dialog manager sends for Esc.
constexpr int kOkId = IDOK;
constexpr int kCanelId = 100;
constexpr SIZE kClientSize{225, 189};

constexpr DWORD kButton = WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;
// The list lies inside the frame: its table place is the frame's plus its
// own (11, 24). No LBS_NOTIFY: a double click does nothing.
constexpr DWORD kList =
    WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_SORT | LBS_NOINTEGRALHEIGHT;
using F = TOptionsForm;
const ControlDef<F> kControls[] = {
    {&F::OKBtn,
     "BUTTON",
     "&OK",
     kOkId,
     {55, 160, 75, 20},
     kButton | BS_DEFPUSHBUTTON},
    {&F::CanelBtn, "BUTTON", "&Canel", kCanelId, {140, 160, 75, 20}, kButton},
    {&F::LanguageGB,
     "BUTTON",
     " Select Your Languages ",
     101,
     {8, 8, 208, 145},
     BS_GROUPBOX | WS_CLIPSIBLINGS},
    {&F::ListBox,
     "LISTBOX",
     "",
     102,
     {8 + 11, 8 + 24, 185, 105},
     kList,
     WS_EX_CLIENTEDGE},
};
constexpr int kItemHeight = 13;

std::string ListLine(HWND list, int i) {
  std::string line(
      static_cast<std::size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)), '\0');
  SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
  return line;
}
}  // namespace

TOptionsForm::TOptionsForm(HWND owner, FileSystem& files, ProfileFile& profiles,
                           std::string programDir)
    : ModalDialog(owner),
      files_(files),
      profiles_(profiles),
      programDir_(std::move(programDir)) {}

SIZE TOptionsForm::ClientSize() const { return kClientSize; }

void TOptionsForm::OnDpiChanged() {
  const win::UniqueFont old = ReplaceFont(font_, NewDialogFont());
  LayOut(*this, kControls, font_.get());
  SendMessageA(ListBox, LB_SETITEMHEIGHT, 0, Scaled(kItemHeight));
}

void TOptionsForm::ShowModal() {
  Accepted = false;
  RunModal(kControls);
}

INT_PTR TOptionsForm::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowTextA(handle_, "Options");
      font_.reset(NewDialogFont());
      CreateControls(*this, kControls, font_.get());
      // The frame lies behind the list, which it holds.
      SetWindowPos(LanguageGB, HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      SendMessageA(ListBox, LB_SETITEMHEIGHT, 0, Scaled(kItemHeight));
      SendMessageA(handle_, DM_SETDEFID, kOkId, 0);
      PlaceOnTop(Centre::OnScreen);
      FormShow();
      // Arrow keys choose a language at once and Enter takes it.
      SetFocus(ListBox);
      return FALSE;
    case WM_COMMAND:
      // Esc (IDCANCEL) is not answered.
      if (HIWORD(wParam) != BN_CLICKED) return FALSE;
      if (LOWORD(wParam) == kOkId) {
        // A refused choice is shown and the dialog stays open.
        try {
          OKBtnClick();
        } catch (const std::exception& e) {
          ShowDefaultError(handle_, e.what());
        }
        return TRUE;
      }
      if (LOWORD(wParam) == kCanelId) {
        CanelBtnClick();
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

std::vector<std::string> TOptionsForm::FindLanguageFiles() {
  return tavro::FindLanguageFiles(files_, programDir_);
}

void TOptionsForm::FormShow() {
  Accepted = false;
  const std::string current = ReadLanguageSelection(profiles_, programDir_);
  for (const std::string& name : FindLanguageFiles())
    SendMessageA(ListBox, LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(name.c_str()));
  const int count = static_cast<int>(SendMessageA(ListBox, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i)
    if (ListLine(ListBox, i) == current)
      SendMessageA(ListBox, LB_SETCURSEL, i, 0);
}

void TOptionsForm::OKBtnClick() {
  const auto selected =
      static_cast<int>(SendMessageA(ListBox, LB_GETCURSEL, 0, 0));
  if (selected < 0)
    throw TavroError("List index out of bounds (" + std::to_string(selected) +
                     ")");
  WriteLanguageSelection(profiles_, programDir_, ListLine(ListBox, selected));
  Accepted = true;
  EndModal();
}

void TOptionsForm::CanelBtnClick() { EndModal(); }

}  // namespace tavro::ui
