#include "Shell.h"

#include <shellapi.h>

namespace tavro::win {

void Shell::Open(HWND owner, const std::string& target) {
  ShellExecuteA(owner, "Open", target.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace tavro::win
