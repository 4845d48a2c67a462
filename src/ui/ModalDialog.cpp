#include "ModalDialog.h"

#include "Errors.h"
#include "WindowProc.h"

namespace tavro::ui {

namespace {
// No controls and no font: the controls are placed in pixels and the font
// comes through WM_GETFONT. Each dialog sets its own caption.
struct alignas(DWORD) DialogTemplate {
  DLGTEMPLATE header;
  WORD menu = 0;
  WORD windowClass = 0;
  WORD caption = 0;
};
}  // namespace

void ModalDialog::Run() {
  error_ = nullptr;
  // Each window of the program's own stays on top while it is up.
  const DialogTemplate layout{
      {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_TOPMOST, 0, 0,
       0, 0, 0}};
  const INT_PTR result = DialogBoxIndirectParamA(
      GetModuleHandleA(nullptr), &layout.header, owner_,
      win::ForwardingDialogProc<ModalDialog, &ModalDialog::Dispatch>,
      reinterpret_cast<LPARAM>(this));
  handle_ = nullptr;
  if (error_) std::rethrow_exception(error_);
  if (result == -1) throw TavroError("Cannot open the dialog");
}

INT_PTR ModalDialog::Dispatch(HWND dialog, UINT message, WPARAM wParam,
                              LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    handle_ = dialog;
    dpi_ = WindowDpi(dialog);
    KeepDialogManagerFromScaling(dialog);
  }
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
    EndModal();  // the close box cancels
    return TRUE;
  }
  if (message == WM_GETFONT) {
    // The dialog manager keeps only a template's font.
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT,
                      reinterpret_cast<LONG_PTR>(DialogFont()));
    return TRUE;
  }
  // An exception must not unwind through the dialog manager.
  try {
    if (message == WM_DPICHANGED) {
      MoveToDpi(LOWORD(wParam), *reinterpret_cast<RECT*>(lParam));
      return TRUE;
    }
    return OnMessage(message, wParam, lParam);
  } catch (...) {
    if (!error_) error_ = std::current_exception();
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
}

HWND ModalDialog::CreateControl(const char* className, const char* caption,
                                int id, const RECT& b, DWORD style,
                                DWORD exStyle, HFONT font) {
  HWND control = CreateWindowExA(
      exStyle, className, caption, WS_CHILD | WS_VISIBLE | style, b.left, b.top,
      b.right, b.bottom, handle_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      GetModuleHandleA(nullptr), nullptr);
  if (!control) throw TavroError("Cannot create the dialog's controls");
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

void ModalDialog::PlaceControl(HWND control, const RECT& b, HFONT font) {
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SetWindowPos(control, nullptr, b.left, b.top, b.right, b.bottom,
               SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(control, nullptr, TRUE);
}

RECT ModalDialog::Scaled(const RECT& b) const {
  const RECT edges =
      Scale(RECT{b.left, b.top, b.left + b.right, b.top + b.bottom}, dpi_);
  return {edges.left, edges.top, edges.right - edges.left,
          edges.bottom - edges.top};
}

// The suggested place keeps the dialog on the monitor that it moved to.
void ModalDialog::MoveToDpi(UINT dpi, const RECT& suggested) {
  dpi_ = dpi;
  OnDpiChanged();
  SetWindowPos(handle_, nullptr, suggested.left, suggested.top,
               suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  const SIZE size = WindowSize();
  SetWindowPos(handle_, nullptr, 0, 0, size.cx, size.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(handle_, nullptr, TRUE);
}

// Measured on the window, whose frame is the system's at its DPI.
SIZE ModalDialog::WindowSize() const {
  RECT window, inside;
  GetWindowRect(handle_, &window);
  GetClientRect(handle_, &inside);
  const SIZE client = ClientSize();
  return {window.right - window.left - inside.right + Scaled(client.cx),
          window.bottom - window.top - inside.bottom + Scaled(client.cy)};
}

void ModalDialog::PlaceOnTop(Centre on) {
  const auto [width, height] = WindowSize();
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (on == Centre::OnDesktop) {
    area.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    area.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    area.right = area.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    area.bottom = area.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
  }
  SetWindowPos(handle_, HWND_TOPMOST,
               area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, width, height,
               SWP_NOACTIVATE);
}

}  // namespace tavro::ui
