// One window procedure for every window class of the programs, and one for
// their dialogs. The object that makes a window passes itself as the
// creation parameter (a dialog's as its init parameter); the procedure
// keeps it with the window and hands every message from WM_NCCREATE
// (WM_INITDIALOG) on to the object's handler, WM_NCDESTROY last. A
// message before that, or after, gets the default.
#pragma once

#include <windows.h>

namespace tavro::win {

template <typename T>
using WindowHandler = LRESULT (T::*)(HWND, UINT, WPARAM, LPARAM);

template <typename T, WindowHandler<T> Handler, bool Unicode = false>
LRESULT CALLBACK ForwardingProc(HWND hwnd, UINT message, WPARAM wParam,
                                LPARAM lParam) {
  // The parameter is the first member of the A and the W structure alike;
  // GWLP_USERDATA is a number, the same through both functions.
  if (message == WM_NCCREATE)
    SetWindowLongPtrA(
        hwnd, GWLP_USERDATA,
        reinterpret_cast<LONG_PTR>(
            reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
  auto* self = reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self)
    return Unicode ? DefWindowProcW(hwnd, message, wParam, lParam)
                   : DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
  return (self->*Handler)(hwnd, message, wParam, lParam);
}

template <typename T>
using DialogHandler = INT_PTR (T::*)(HWND, UINT, WPARAM, LPARAM);

template <typename T, DialogHandler<T> Handler>
INT_PTR CALLBACK ForwardingDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                      LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
  auto* self = reinterpret_cast<T*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (!self) return FALSE;
  if (message == WM_NCDESTROY) SetWindowLongPtrA(dialog, DWLP_USER, 0);
  return (self->*Handler)(dialog, message, wParam, lParam);
}

}  // namespace tavro::win
