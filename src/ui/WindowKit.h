// Small Win32 helpers that the windows share: the default error display,
// window texts, fonts, and scopes that give back what a drawing borrowed.
#pragma once

#include <windows.h>

#include <string>

#include "Handles.h"

namespace tavro::ui {

// The default error display: the text with its full stop, caption "Tavro",
// OK and the error icon, the owner disabled while it is up.
void ShowDefaultError(HWND owner, const std::string& message);

// The text of the exception being handled, for the default error display;
// call only inside a catch block.
std::string CaughtErrorText();

// A control's text through the ANSI functions.
std::string WindowText(HWND window);

// The dialogs' own font, whatever the language file says.
struct FontFace {
  const char* name;
  int points;
};
inline constexpr FontFace kDialogFont{"Tahoma", 8};

// Makes `fresh` the font and hands back the old one: keep it until every
// control has taken the new one.
[[nodiscard]] inline win::UniqueFont ReplaceFont(win::UniqueFont& font,
                                                 HFONT fresh) {
  win::UniqueFont old = std::move(font);
  font.reset(fresh);
  return old;
}

// Draws a sunken line along the top of an owner-drawn static control;
// false when the item is another control's.
bool DrawSunkenLine(const DRAWITEMSTRUCT& item, HWND line);

// A window's painting, from BeginPaint to EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window) {
    dc_ = BeginPaint(window, &paint_);
  }
  ~PaintDc() { EndPaint(window_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// A window's DC, or the screen's for none, given back at the end.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() { ReleaseDC(window_, dc_); }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A memory DC like another DC.
class MemoryDc {
 public:
  explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
  ~MemoryDc() { DeleteDC(dc_); }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// An object selected into a DC until the scope ends.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selected() { SelectObject(dc_, old_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace tavro::ui
