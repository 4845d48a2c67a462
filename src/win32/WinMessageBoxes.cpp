#include "WinMessageBoxes.h"

namespace tavro::win {

namespace {
Answer Show(HWND owner, const std::string& text, UINT type) {
  switch (MessageBoxA(owner, text.c_str(), "Tavro", type)) {
    case IDYES:
      return Answer::Yes;
    case IDNO:
      return Answer::No;
    case IDCANCEL:
      return Answer::Cancel;
    case IDOK:
      return Answer::Ok;
    default:
      return Answer::NotShown;
  }
}
}  // namespace

Answer WinMessageBoxes::AskYesNo(const std::string& text) {
  return Show(owner_, text, MB_YESNO | MB_ICONQUESTION);
}

Answer WinMessageBoxes::AskYesNoCancel(const std::string& text) {
  return Show(owner_, text, MB_YESNOCANCEL | MB_ICONQUESTION);
}

void WinMessageBoxes::ShowError(const std::string& text) {
  Show(owner_, text, MB_OK | MB_ICONERROR);
}

void WinMessageBoxes::ShowInfo(const std::string& text) {
  Show(owner_, text, MB_OK | MB_ICONINFORMATION);
}

}  // namespace tavro::win
