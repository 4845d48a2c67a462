#include "UnitEdit.h"

#include "Errors.h"
#include "WinMessageBoxes.h"

namespace tavro::ui {

namespace {
// Anything but IDCANCEL: the dialog manager turns Esc into IDCANCEL, and
// Esc must not press this button.
constexpr int kCanelId = 100;
constexpr SIZE kClientSize{242, 228};

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
const ControlDef<F> kControls[] = {
    {&F::TitleGB, "BUTTON", " Title ", 101, {8, 8, 193, 38}, kFrame},
    {&F::TitleEdit, "EDIT", "", 102, {20, 32, 213, 21}, kTitle, kSunken},
    {&F::ContentGB, "BUTTON", " Content ", 103, {8, 64, 193, 97}, kFrame},
    {&F::ContentMemo, "EDIT", "", 104, {20, 88, 213, 89}, kMemo, kSunken},
    {&F::Line, "STATIC", "", 105, {8, 190, 225, 9}, SS_OWNERDRAW},
    {&F::OKBtn, "BUTTON", "&OK", IDOK, {104, 200, 75, 20}, kDefault},
    {&F::CanelBtn, "BUTTON", "&Canel", kCanelId, {184, 200, 50, 20}, kButton},
};

}  // namespace

void TEditForm::Run(const std::string& caption, bool fillFields,
                    TEditBuffer& editTitle, TEditBuffer& editContent) {
  caption_ = &caption;
  fillFields_ = fillFields;
  editTitle_ = &editTitle;
  editContent_ = &editContent;
  RunModal(kControls);
}

SIZE TEditForm::ClientSize() const { return kClientSize; }

void TEditForm::ChooseFont() {
  font_ = ownerFont_;
  scaledFont_.reset();
  if (dpi_ != ownerDpi_) {
    scaledFont_.reset(RescaleFont(ownerFont_, ownerDpi_, dpi_));
    font_ = scaledFont_.get();
  }
}

void TEditForm::OnDpiChanged() {
  // The controls take the new font before the old one goes.
  const win::UniqueFont old = std::move(scaledFont_);
  ChooseFont();
  LayOut(*this, kControls, font_);
}

INT_PTR TEditForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      ownerDpi_ = WindowDpi(owner_);
      ChooseFont();
      CreateControls(*this, kControls, font_);
      // The frames lie behind their fields, which overlap them.
      for (HWND frame : {TitleGB, ContentGB})
        SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      // The user sees the buffers' limit while typing or pasting; a longer
      // text set by Edit still shows in full.
      for (HWND field : {TitleEdit, ContentMemo})
        SendMessageA(field, EM_SETLIMITTEXT, kBufferSize, 0);
      SendMessageA(handle_, DM_SETDEFID, IDOK, 0);
      SetWindowTextA(handle_, caption_->c_str());
      shownTitle_ = fillFields_ ? editTitle_->str() : "";
      shownContent_ = fillFields_ ? editContent_->str() : "";
      if (fillFields_) {
        SetWindowTextA(TitleEdit, shownTitle_.c_str());
        SetWindowTextA(ContentMemo, shownContent_.c_str());
      }
      PlaceOnTop(Centre::OnDesktop);
      FormShow();
      return FALSE;  // FormShow has placed the focus
    case WM_COMMAND:
      // IDCANCEL, from Esc or from WM_CLOSE, is left unanswered: Esc does
      // nothing, and a multi-line edit turns Esc into WM_CLOSE.
      if (HIWORD(wParam) == EN_CHANGE) {
        const auto field = reinterpret_cast<HWND>(lParam);
        return KeepWithinBuffer(
            field, field == TitleEdit ? shownTitle_ : shownContent_);
      }
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
    case WM_DRAWITEM:
      return DrawSunkenLine(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam),
                            Line);
    default:
      return FALSE;
  }
}

bool TEditForm::KeepWithinBuffer(HWND field, std::string& shown) {
  if (field != TitleEdit && field != ContentMemo) return FALSE;
  const std::string text = WindowText(field);
  if (text.size() > kBufferSize && text.size() > shown.size()) {
    DWORD start = 0;
    SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    SetWindowTextA(field, shown.c_str());  // comes back here, unchanged
    SendMessageA(field, EM_SETSEL, start, start);
    MessageBeep(MB_OK);
    return TRUE;
  }
  shown = text;
  return TRUE;
}

void TEditForm::FormShow() {
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
  EndModal();
}

void TEditForm::CanelBtnClick() { EndModal(); }

}  // namespace tavro::ui
