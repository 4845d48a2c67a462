// Opens a document, web address or "mailto:" address with the program the
// system associates with it. Tests put a recording one in its place.
#pragma once

#include <windows.h>

#include <string>

namespace tavro::win {

class Shell {
 public:
  virtual ~Shell() = default;
  // The outcome is not looked at: a missing association shows nothing.
  virtual void Open(HWND owner, const std::string& target);
};

}  // namespace tavro::win
