#include "UnitEdit.h"

#include "Errors.h"
#include "WinMessageBoxes.h"

namespace tavro::ui {

namespace {
// Anything but IDCANCEL: the dialog manager turns Esc into IDCANCEL, and
// Esc must not press this button.
constexpr int kCanelId = 100;
constexpr SIZE kClientSize{242, 228};

struct ControlDef {
  HWND TEditForm::*member;
  const char* className;
  const char* caption;  // the layout's text; FormShow replaces the captions
  int id;
  RECT bounds;  // left, top, width, height
  DWORD style;
  DWORD exStyle = 0;
};

// Each focusable control starts a group of its own, so arrow keys never move
// the focus the way Tab does.
constexpr DWORD kFrame = BS_GROUPBOX | WS_DISABLED | WS_CLIPSIBLINGS;
constexpr DWORD kField = WS_TABSTOP | WS_GROUP;
constexpr DWORD kTitle = kField | ES_AUTOHSCROLL;
constexpr DWORD kMemo =
    kField | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
constexpr DWORD kDefault = kField | BS_DEFPUSHBUTTON;
constexpr DWORD kButton = kField | BS_PUSHBUTTON;
constexpr DWORD kSunken = WS_EX_CLIENTEDGE;
using F = TEditForm;
const ControlDef kControls[] = {
    {&F::TitleGB, "BUTTON", " Title ", 101, {8, 8, 193, 38}, kFrame},
    {&F::TitleEdit, "EDIT", "", 102, {20, 32, 213, 21}, kTitle, kSunken},
    {&F::ContentGB, "BUTTON", " Content ", 103, {8, 64, 193, 97}, kFrame},
    {&F::ContentMemo, "EDIT", "", 104, {20, 88, 213, 89}, kMemo, kSunken},
    {&F::Line, "STATIC", "", 105, {8, 190, 225, 9}, SS_OWNERDRAW},
    {&F::OKBtn, "BUTTON", "&OK", IDOK, {104, 200, 75, 20}, kDefault},
    {&F::CanelBtn, "BUTTON", "&Canel", kCanelId, {184, 200, 50, 20}, kButton},
};

// A dialog with no controls and no font of its own: the controls are placed
// in pixels, and the font comes from the main window. The caption is the
// layout's; the caller's replaces it.
struct alignas(DWORD) DialogTemplate {
  DLGTEMPLATE header{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                     WS_EX_TOPMOST,
                     0,
                     0,
                     0,
                     0,
                     0};
  WORD menu = 0;
  WORD windowClass = 0;
  wchar_t caption[5] = L"Edit";
};

std::string WindowText(HWND window) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1,
                   '\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}
}  // namespace

void TEditForm::Run(const std::string& caption, bool fillFields,
                    TEditBuffer& editTitle, TEditBuffer& editContent) {
  caption_ = &caption;
  fillFields_ = fillFields;
  editTitle_ = &editTitle;
  editContent_ = &editContent;
  error_ = nullptr;
  const DialogTemplate layout;
  EditForm = this;
  const INT_PTR result =
      DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &layout.header, owner_,
                              DialogProc, reinterpret_cast<LPARAM>(this));
  EditForm = nullptr;
  handle_ = nullptr;
  for (const ControlDef& def : kControls) this->*def.member = nullptr;
  if (error_) std::rethrow_exception(error_);
  if (result == -1) throw TavroError("Cannot open the editor");
}

INT_PTR CALLBACK TEditForm::DialogProc(HWND dialog, UINT message, WPARAM wParam,
                                       LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    reinterpret_cast<TEditForm*>(lParam)->handle_ = dialog;
  }
  auto* form =
      reinterpret_cast<TEditForm*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (!form) return FALSE;
  // An exception must not unwind through the dialog manager: it ends the
  // dialog and Run throws it again.
  try {
    return form->OnMessage(message, wParam, lParam);
  } catch (...) {
    if (!form->error_) form->error_ = std::current_exception();
    EndDialog(dialog, 0);
    return TRUE;
  }
}

INT_PTR TEditForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      CreateControls();
      SetWindowTextA(handle_, caption_->c_str());
      if (fillFields_) {
        SetWindowTextA(TitleEdit, editTitle_->str().c_str());
        SetWindowTextA(ContentMemo, editContent_->str().c_str());
      }
      CentreOnDesktop();
      FormShow();
      return FALSE;  // FormShow has placed the focus
    case WM_COMMAND:
      // IDCANCEL, from Esc or from WM_CLOSE, is left unanswered: Esc does
      // nothing, and a multi-line edit turns Esc into WM_CLOSE.
      if (HIWORD(wParam) != BN_CLICKED) return FALSE;
      if (LOWORD(wParam) == IDOK) {
        OKBtnClick();
        return TRUE;
      }
      if (LOWORD(wParam) == kCanelId) {
        CanelBtnClick();
        return TRUE;
      }
      return FALSE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        Close();
        return TRUE;
      }
      return FALSE;
    case WM_GETFONT:
      // The dialog manager keeps only a template's font.
      SetWindowLongPtrA(handle_, DWLP_MSGRESULT,
                        reinterpret_cast<LONG_PTR>(font_));
      return TRUE;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->hwndItem != Line) return FALSE;
      RECT r = item->rcItem;
      FillRect(item->hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
      DrawEdge(item->hDC, &r, EDGE_ETCHED, BF_TOP);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

void TEditForm::CreateControls() {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  for (const ControlDef& def : kControls) {
    const RECT& b = def.bounds;
    HWND control = CreateWindowExA(
        def.exStyle, def.className, def.caption,
        WS_CHILD | WS_VISIBLE | def.style, b.left, b.top, b.right, b.bottom,
        handle_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(def.id)),
        instance, nullptr);
    if (!control) throw TavroError("Cannot create the editor's controls");
    this->*def.member = control;
  }
  // The frames lie behind their fields, which overlap them.
  for (HWND frame : {TitleGB, ContentGB})
    SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (HWND field : {TitleEdit, ContentMemo})
    SendMessageA(field, EM_SETLIMITTEXT, 0, 0);  // no limit
  SendMessageA(handle_, DM_SETDEFID, IDOK, 0);
}

void TEditForm::CentreOnDesktop() {
  RECT window, client;
  GetWindowRect(handle_, &window);
  GetClientRect(handle_, &client);
  const int width = window.right - window.left - client.right + kClientSize.cx;
  const int height =
      window.bottom - window.top - client.bottom + kClientSize.cy;
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN) +
                   (GetSystemMetrics(SM_CXVIRTUALSCREEN) - width) / 2;
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN) +
                  (GetSystemMetrics(SM_CYVIRTUALSCREEN) - height) / 2;
  SetWindowPos(handle_, HWND_TOPMOST, left, top, width, height, SWP_NOACTIVATE);
}

void TEditForm::FormShow() {
  const auto font = reinterpret_cast<WPARAM>(font_);
  for (const ControlDef& def : kControls)
    SendMessageA(this->*def.member, WM_SETFONT, font, TRUE);
  SetWindowTextA(TitleGB, captions_.TitleGB.c_str());
  SetWindowTextA(ContentGB, captions_.ContentGB.c_str());
  SetWindowTextA(OKBtn, captions_.OKBtn.c_str());
  SetWindowTextA(CanelBtn, captions_.CanelBtn.c_str());
  SetFocus(TitleEdit);
}

void TEditForm::OKBtnClick() {
  const std::string title = WindowText(TitleEdit);
  const std::string content = WindowText(ContentMemo);
  if (title.empty() || content.empty()) {
    // The box takes the focus away; the user goes on where they were.
    const HWND focus = GetFocus();
    win::WinMessageBoxes(handle_).ShowError(captions_.msgEmpty);
    if (IsChild(handle_, focus)) SetFocus(focus);
    return;
  }
  *editTitle_ = title;
  *editContent_ = content;
  Close();
}

void TEditForm::CanelBtnClick() { Close(); }

void TEditForm::Close() { EndDialog(handle_, 0); }

}  // namespace tavro::ui
