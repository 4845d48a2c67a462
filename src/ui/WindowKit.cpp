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

bool DrawSunkenLine(const DRAWITEMSTRUCT& item, HWND line) {
  if (item.hwndItem != line) return false;
  RECT r = item.rcItem;
  FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(item.hDC, &r, EDGE_ETCHED, BF_TOP);
  return true;
}

}  // namespace tavro::ui
