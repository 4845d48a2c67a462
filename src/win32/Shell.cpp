#include "Shell.h"

#include <shellapi.h>

namespace tavro::win {

void Shell::Open(HWND owner, const std::string& target) {
  // Loaded on the first use, not at every start: the shell library and
  // what it brings with it cost more to load than Tavro's own window. It
  // stays loaded; a later call only finds it.
  using Execute = decltype(&ShellExecuteA);
  const auto execute = reinterpret_cast<Execute>(reinterpret_cast<void*>(
      GetProcAddress(LoadLibraryA("shell32.dll"), "ShellExecuteA")));
  if (execute)
    execute(owner, "Open", target.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace tavro::win
