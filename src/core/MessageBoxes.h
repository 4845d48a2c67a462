// The program's modal boxes; all carry the caption "Tavro".
#pragma once

#include <string>

namespace tavro {

enum class Answer { Yes, No, Cancel, Ok, NotShown };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Question icon, Yes and No.
  virtual Answer AskYesNo(const std::string& text) = 0;
  // Question icon, Yes, No and Cancel.
  virtual Answer AskYesNoCancel(const std::string& text) = 0;
  // Error icon, OK.
  virtual void ShowError(const std::string& text) = 0;
  // Information icon, OK.
  virtual void ShowInfo(const std::string& text) = 0;
};

}  // namespace tavro
