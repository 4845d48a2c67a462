// Errors that end a command; the main window shows their text in a box.
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace tavro {

// On std::exception with a string of its own: std::runtime_error would
// bring the library's older string type, some 25 KB, into each exe.
class TavroError : public std::exception {
 public:
  explicit TavroError(std::string text) : text_(std::move(text)) {}
  explicit TavroError(const char* text) : text_(text) {}
  const char* what() const noexcept override { return text_.c_str(); }

 private:
  std::string text_;
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
