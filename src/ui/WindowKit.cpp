#include "WindowKit.h"

#include <new>

#include "CodePage.h"
#include "Errors.h"

namespace tavro::ui {

void ShowDefaultError(HWND owner, const std::string& message) {
  MessageBoxA(owner, ErrorDisplayText(message).c_str(), "Tavro",
              MB_OK | MB_ICONERROR);
}

std::string CaughtErrorText() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return "There is not enough memory to finish this command.";
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "An unexpected error ended this command.";
  }
}

std::string WindowText(HWND window) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1,
                   '\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

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

bool DrawSunkenLine(const DRAWITEMSTRUCT& item, HWND line) {
  if (item.hwndItem != line) return false;
  RECT r = item.rcItem;
  FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(item.hDC, &r, EDGE_ETCHED, BF_TOP);
  return true;
}

}  // namespace tavro::ui
