// The field the user was typing in when the hotkey came: its window, where
// its caret is, and whether it takes several lines.
#pragma once

#include <windows.h>

#include <string>

#include "TypingPlan.h"

namespace tavro::type {

struct Target {
  HWND window = nullptr;  // the foreground window
  HWND focus = nullptr;   // its focused control, or the window itself
  DWORD thread = 0;
  DWORD process = 0;
  // Where the menu goes: the caret's rectangle on the screen, or the
  // focused window's top left corner; inside the monitor's work area.
  RECT anchor{};
  FieldKind kind = FieldKind::SingleLine;
  // A Win32 edit or rich edit control, whose text length tells how far a
  // typing got.
  bool edit = false;
  // The window's title and its program's file name, for a message.
  std::string program;
};

// The control that has the focus in the thread, or none.
HWND FocusOf(DWORD thread);

// The foreground window's focused field; no window when the foreground is
// `self` or there is none.
Target FindTarget(HWND self);

// Whether the process runs at a higher integrity level than this one (as
// administrator), where Windows lets no keystrokes of ours in.
bool RunsAboveUs(DWORD process);

}  // namespace tavro::type
