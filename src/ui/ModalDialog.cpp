#include "ModalDialog.h"

#include <new>
#include <string>

#include "Errors.h"

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
  const INT_PTR result =
      DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &layout.header, owner_,
                              DialogProc, reinterpret_cast<LPARAM>(this));
  handle_ = nullptr;
  if (error_) std::rethrow_exception(error_);
  if (result == -1) throw TavroError("Cannot open the dialog");
}

INT_PTR CALLBACK ModalDialog::DialogProc(HWND dialog, UINT message,
                                         WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    reinterpret_cast<ModalDialog*>(lParam)->handle_ = dialog;
  }
  auto* self =
      reinterpret_cast<ModalDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (!self) return FALSE;
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
    self->EndModal();  // the close box cancels
    return TRUE;
  }
  if (message == WM_GETFONT) {
    // The dialog manager keeps only a template's font.
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT,
                      reinterpret_cast<LONG_PTR>(self->DialogFont()));
    return TRUE;
  }
  // An exception must not unwind through the dialog manager.
  try {
    return self->OnMessage(message, wParam, lParam);
  } catch (...) {
    if (!self->error_) self->error_ = std::current_exception();
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

void ModalDialog::PlaceOnDesktop(SIZE client, bool topmost) {
  RECT window, inside;
  GetWindowRect(handle_, &window);
  GetClientRect(handle_, &inside);
  const int width = window.right - window.left - inside.right + client.cx;
  const int height = window.bottom - window.top - inside.bottom + client.cy;
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN) +
                   (GetSystemMetrics(SM_CXVIRTUALSCREEN) - width) / 2;
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN) +
                  (GetSystemMetrics(SM_CYVIRTUALSCREEN) - height) / 2;
  SetWindowPos(handle_, topmost ? HWND_TOPMOST : HWND_TOP, left, top, width,
               height, SWP_NOACTIVATE);
}

std::string CaughtErrorText() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return "There is not enough memory to finish this command.";
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "An unexpected error ended this command.";
  }
}

void ShowDefaultError(HWND owner, const std::string& message) {
  MessageBoxA(owner, ErrorDisplayText(message).c_str(), "Tavro",
              MB_OK | MB_ICONERROR);
}

HFONT CreatePointFont(const char* face, int points, int weight,
                      bool underline) {
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return CreateFontA(height, 0, 0, 0, weight, FALSE, underline, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

std::string WindowText(HWND window) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1,
                   '\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace tavro::ui
