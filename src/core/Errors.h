// Errors that end a command; the main window shows their text in a box.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tavro {

class TavroError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// printf-like "%s" substitution for the fixed error texts.
std::string FormatError(std::string_view pattern, std::string_view argument);

// The text of the error box: a full stop is appended when the last character
// sorts after '.'; isLeadByte tells the double-byte lead bytes of the code
// page, so that the last character, not its trail byte, is compared;
// without it, the process's code page tells.
std::string ErrorDisplayText(
    const std::string& message,
    const std::function<bool(unsigned char)>& isLeadByte = {});

}  // namespace tavro
