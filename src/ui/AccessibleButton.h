// What a screen reader learns of a tool button: its caption, or its hint
// where it has none, as its name; the role of a push button; its click as
// the default action. The system libraries for it are loaded only when a
// reader first asks.
#pragma once

#include <windows.h>

namespace tavro::ui {

class TSpeedButton;

// The answer to WM_GETOBJECT for a tool button's window: its own object
// for the client area, 0 for the system to answer the rest.
LRESULT AnswerGetObject(HWND button, WPARAM flags, LPARAM objectId);

}  // namespace tavro::ui
