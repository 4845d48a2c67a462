#include <windows.h>

#include "Folders.h"

#include "CodePage.h"

namespace tavro::win {

std::string CurrentDirectory() {
  std::string path(MAX_PATH, '\0');
  DWORD length =
      GetCurrentDirectoryA(static_cast<DWORD>(path.size()), path.data());
  if (length >= path.size()) {
    path.resize(length);
    length = GetCurrentDirectoryA(length, path.data());
  }
  path.resize(length);
  return path;
}

std::string ExecutableFolder() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(),
                                            static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, FileNameStart(path));  // a 0x5C may end a character
}

}  // namespace tavro::win
