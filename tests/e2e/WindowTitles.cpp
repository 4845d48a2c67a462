// Prints the title of every visible top-level window, one a line, in the
// ANSI code page: the end-to-end tests cannot read them through X, since
// Wine's desktop holds the windows. With "end-session", asks Tavro's main
// window as Windows does at a log-off, and ends the session where it may:
// prints "ends", or "waits" and the reason it gives, where Windows can
// tell it (Wine cannot).
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {
BOOL CALLBACK PrintTitle(HWND window, LPARAM) {
  char title[512];
  if (IsWindowVisible(window) &&
      GetWindowTextA(window, title, sizeof title) > 0)
    std::printf("%s\n", title);
  return TRUE;
}

int EndSession() {
  const HWND tavro = FindWindowA("TavroMainForm", nullptr);
  if (!tavro) return 2;
  DWORD_PTR mayEnd = FALSE;
  SendMessageTimeoutA(tavro, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                      SMTO_ABORTIFHUNG, 10000, &mayEnd);
  if (mayEnd) {
    std::printf("ends\n");
    std::fflush(stdout);
    SendMessageTimeoutA(tavro, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF,
                        SMTO_ABORTIFHUNG, 10000, nullptr);
    return 0;
  }
  using Query = BOOL(WINAPI*)(HWND, LPWSTR, DWORD*);
  const HMODULE user = GetModuleHandleA("user32.dll");
  const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"),
                                   "wine_get_version") != nullptr;
  const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      wine ? nullptr : GetProcAddress(user, "ShutdownBlockReasonQuery")));
  wchar_t reason[256] = L"(not readable here)";
  DWORD length = 256;
  if (query) query(tavro, reason, &length);
  std::printf("waits: %ls\n", reason);
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "end-session") == 0) return EndSession();
  EnumWindows(PrintTitle, 0);
  return 0;
}
