// A flat toolbar button: glyph above caption, a border only while the
// mouse is over it, and no keyboard focus, so the list keeps it. Screen
// readers know it as a push button named by its caption, or its hint.
#pragma once

#include <windows.h>

#include <string>

#include "Handles.h"

namespace tavro::ui {

class TSpeedButton {
 public:
  static void Register(HINSTANCE instance);

  // Sends WM_COMMAND with commandId to notify when clicked.
  TSpeedButton(HWND parent, HWND notify, HWND tooltip, int commandId,
               RECT bounds, UINT glyphResource);
  TSpeedButton(const TSpeedButton&) = delete;
  TSpeedButton& operator=(const TSpeedButton&) = delete;

  HWND Handle() const { return window_.get(); }
  const std::string& Caption() const { return caption_; }
  const std::string& Hint() const { return hint_; }
  bool Pressed() const { return pressed_; }
  bool Hot() const { return hot_; }
  void SetCaption(std::string caption);
  void SetHint(std::string hint);
  void SetFont(HFONT font);
  // Places the button at bounds, given at 96 DPI, and scales its glyph.
  void SetDpi(UINT dpi, const RECT& bounds);
  void Click();

 private:
  static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint(HDC dc);
  void SetHot(bool hot);
  void NameChanged();

  win::UniqueWindow window_;
  HWND notify_;
  HWND tooltip_;
  int commandId_;
  // The glyph's resource, and its first glyph at dpi_ with an alpha
  // channel, premultiplied.
  UINT glyphResource_;
  UINT dpi_ = 0;
  win::UniqueBitmap scaled_;
  SIZE scaledSize_{};
  HFONT font_ = nullptr;
  std::string caption_;
  std::string hint_;
  bool hot_ = false;
  bool pressed_ = false;
};

}  // namespace tavro::ui
