// The entry editor dialog, as Add and Edit run it.
#pragma once

#include <windows.h>

#include "EntryEditor.h"

namespace tavro::ui {

class TEditForm : public EntryEditor {
 public:
  explicit TEditForm(HWND owner) : owner_(owner) {}
  void Run(const std::string& caption, bool fillFields, TEditBuffer& editTitle,
           TEditBuffer& editContent) override;

 private:
  HWND owner_;
};

}  // namespace tavro::ui
