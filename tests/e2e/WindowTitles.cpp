// Prints the title of every visible top-level window, one a line, in the
// ANSI code page: the end-to-end tests cannot read them through X, since
// Wine's desktop holds the windows.
#include <windows.h>

#include <cstdio>

namespace {
BOOL CALLBACK PrintTitle(HWND window, LPARAM) {
  char title[512];
  if (IsWindowVisible(window) &&
      GetWindowTextA(window, title, sizeof title) > 0)
    std::printf("%s\n", title);
  return TRUE;
}
}  // namespace

int main() {
  EnumWindows(PrintTitle, 0);
  return 0;
}
