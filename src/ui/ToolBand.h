// The tool band under the menu: one window that draws its flat buttons
// (glyph above caption, a border only while the mouse is over one) and its
// separators, shows each button's hint as a tooltip and sends its command
// when one is clicked. It takes no keyboard focus, so the list keeps it.
// Screen readers find it as a tool bar of push buttons, each named by its
// caption, or its hint where it has none, which they can press.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>
#include <string_view>
#include <vector>

#include "Handles.h"

namespace tavro::ui {

class TToolBand {
 public:
  static void Register(HINSTANCE instance);

  // The band, a child of parent; clicks go to notify as WM_COMMAND.
  TToolBand(HWND parent, HWND notify, UINT id);
  TToolBand(const TToolBand&) = delete;
  TToolBand& operator=(const TToolBand&) = delete;

  // bounds at 96 DPI, in the band.
  void AddButton(std::string name, UINT command, RECT bounds, UINT glyph);
  void AddSeparator(RECT bounds);

  HWND Handle() const { return window_.get(); }
  std::size_t ButtonCount() const { return buttons_.size(); }
  // By the button's name, which is its key in the language files.
  const std::string& Caption(std::string_view name) const;
  const std::string& Hint(std::string_view name) const;
  void SetTexts(std::string_view name, std::string caption, std::string hint);
  // Where the button is in the band, in pixels.
  RECT ButtonRect(std::string_view name) const;
  void SetFont(HFONT font);
  // Lays the buttons out and makes their glyphs for the DPI.
  void SetDpi(UINT dpi);

  // For the accessible object: the buttons by their place.
  struct Button {
    std::string name;
    UINT command;
    RECT bounds;  // at 96 DPI
    UINT glyph;
    std::string caption, hint;
    win::UniqueBitmap scaled;  // the glyph at the DPI, premultiplied
    SIZE size{};
    // What a reader or a tool calls it: the caption, or the hint without.
    const std::string& Label() const {
      return caption.empty() ? hint : caption;
    }
  };
  const Button& ButtonAt(std::size_t i) const { return buttons_[i]; }
  RECT RectAt(std::size_t i) const;
  bool Hot(std::size_t i) const { return hot_ == static_cast<int>(i); }
  bool Pressed(std::size_t i) const { return pressed_ == static_cast<int>(i); }
  // Runs the button's command in the window's own turn.
  void Press(std::size_t i);

 private:
  LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Respond(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void Paint(HDC dc);
  int At(POINT p) const;
  std::size_t Index(std::string_view name) const;
  void SetHot(int hot);
  void MakeTooltip();
  TTTOOLINFOA Tool(std::size_t i) const;
  LRESULT AnswerToolBarQuery(UINT message, WPARAM wParam, LPARAM lParam) const;
  void UpdateTool(std::size_t i);
  void NameChanged(std::size_t i);

  win::UniqueWindow window_;
  HWND notify_;
  win::UniqueWindow tooltip_;
  std::vector<Button> buttons_;
  std::vector<RECT> separators_;  // at 96 DPI
  UINT dpi_ = 0;
  HFONT font_ = nullptr;
  int hot_ = -1;
  int pressed_ = -1;
};

}  // namespace tavro::ui
