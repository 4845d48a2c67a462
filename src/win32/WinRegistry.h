// The registry of the current user, through the ANSI functions.
#pragma once

#include "Registry.h"

namespace tavro::win {

class WinRegistry : public Registry {
 public:
  OpenedKey Open(const std::string& path, Mode mode) override;
  long DeleteTree(const std::string& path) override;
};

}  // namespace tavro::win
