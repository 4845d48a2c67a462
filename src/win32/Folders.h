// The folders a Tavro program starts from.
#pragma once

#include <string>

namespace tavro::win {

// The process's current directory, without a trailing backslash except at
// a drive root.
std::string CurrentDirectory();
// The executable's folder, with its trailing backslash.
std::string ExecutableFolder();

}  // namespace tavro::win
