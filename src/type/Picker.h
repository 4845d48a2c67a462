// The popup of saved entries at the target's caret, which finds an entry by
// what the user types. A window of TavroType's own, so that the hotkey, a
// quit and the loss of activation close it as they come, which a system
// menu's modal loop does not let through.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "Entries.h"
#include "Handles.h"
#include "Language.h"

namespace tavro::type {

class TPicker {
 public:
  explicit TPicker(HINSTANCE instance);
  TPicker(const TPicker&) = delete;
  TPicker& operator=(const TPicker&) = delete;

  // Shows the entries below the anchor rectangle (above it where the
  // screen ends), in list order, the first one highlighted, and waits.
  // Letters narrow the list to the Titles that hold them, best first;
  // Backspace widens it; a digit typed first picks one of the first ten.
  // Returns the index picked with Enter or a click, or none for Esc with
  // nothing typed, a click elsewhere, another window in front or Close.
  std::optional<std::size_t> Run(const RECT& anchor,
                                 const std::vector<TSection>& entries,
                                 const PickerTexts& texts);
  // Ends Run with none; for the hotkey pressed again, or a quit.
  void Close();
  HWND Handle() const { return window_.get(); }

 private:
  LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void Layout(const RECT& anchor, const PickerTexts& texts);
  void Paint(HDC dc);
  void KeyDown(WPARAM key);
  void Char(wchar_t c);
  void Search();
  void Highlight(int row);
  void PlaceCaret();
  void Finish(std::optional<std::size_t> picked);
  int RowAt(int y) const;
  int VisibleRows() const;
  int ShownCount() const { return static_cast<int>(shown_.size()); }

  win::UniqueWindow window_;
  win::UniqueFont font_;
  // Per entry: its label with the access key of a digit and without, and
  // its Title as searches compare it.
  std::vector<std::wstring> labels_, plainLabels_;
  std::vector<std::u16string> folded_;
  // The entries that hold what was typed, best first.
  std::vector<std::size_t> shown_;
  std::wstring typed_;
  std::wstring hint_, noMatch_, noEntries_;
  int highlighted_ = 0;
  int top_ = 0;
  int textHeight_ = 0;
  int rowHeight_ = 0;
  int margin_ = 0;
  bool running_ = false;
  std::optional<std::size_t> picked_;
};

}  // namespace tavro::type
