#include <windows.h>

#include "TypeProcess.h"

#include "Errors.h"
#include "Handles.h"

namespace tavro::win {

namespace {
constexpr DWORD kEndWaitMs = 3000;
}  // namespace

void StartTavroType(const std::string& exePath) {
  std::string command = '"' + exePath + '"';
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(exePath.c_str(), command.data(), nullptr, nullptr, FALSE,
                      0, nullptr, nullptr, &startup, &process))
    throw TavroError(FormatError("Cannot start %s", exePath));
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

void EndTavroType() {
  const HWND window = FindWindowA(kTypeWindowClass, nullptr);
  if (!window) return;
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  const UniqueHandle process(
      OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id));
  PostMessageA(window, RegisterWindowMessageA(kTypeQuitMessage), 0, 0);
  if (process && WaitForSingleObject(process.get(), kEndWaitMs) == WAIT_TIMEOUT)
    TerminateProcess(process.get(), 0);
}

}  // namespace tavro::win
