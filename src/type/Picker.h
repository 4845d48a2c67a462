// The popup of saved entries at the target's caret: a window of TavroType's
// own, so that the hotkey, a quit and the loss of activation close it as
// they come, which a system menu's modal loop does not let through.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "Entries.h"
#include "Handles.h"

namespace tavro::type {

inline constexpr char kNoEntries[] =
    "(No saved entries: add them in Tavro and save)";

class TPicker {
 public:
  explicit TPicker(HINSTANCE instance);
  TPicker(const TPicker&) = delete;
  TPicker& operator=(const TPicker&) = delete;

  // Shows the entries below the anchor rectangle (above it where the
  // screen ends), the first one highlighted, and waits: the index picked
  // with Enter, a click or a digit of the first ten, or none for Esc, a
  // click elsewhere, another window in front or Close.
  std::optional<std::size_t> Run(const RECT& anchor,
                                 const std::vector<TSection>& entries);
  // Ends Run with none; for the hotkey pressed again, or a quit.
  void Close();
  bool Shown() const { return running_; }
  HWND Handle() const { return window_.get(); }

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void Layout(const RECT& anchor);
  void Paint(HDC dc);
  void KeyDown(WPARAM key);
  void Highlight(int row);
  void Finish(std::optional<std::size_t> picked);
  int RowAt(int y) const;
  int VisibleRows() const;

  win::UniqueWindow window_;
  win::UniqueFont font_;
  std::vector<std::wstring> labels_;
  std::size_t entries_ = 0;
  int highlighted_ = 0;
  int top_ = 0;
  int rowHeight_ = 0;
  int margin_ = 0;
  bool running_ = false;
  std::optional<std::size_t> picked_;
};

}  // namespace tavro::type
