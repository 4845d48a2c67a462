// Message boxes owned by a window, caption "Tavro".
#pragma once

#include <windows.h>

#include "MessageBoxes.h"

namespace tavro::win {

class WinMessageBoxes : public MessageBoxes {
 public:
  explicit WinMessageBoxes(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  Answer AskYesNo(const std::string& text) override;
  Answer AskYesNoCancel(const std::string& text) override;
  void ShowError(const std::string& text) override;
  void ShowInfo(const std::string& text) override;

 private:
  HWND owner_;
};

}  // namespace tavro::win
