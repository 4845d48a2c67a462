// The core walks text by the characters of the system's ANSI code page.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "CodePage.h"

namespace tavro::win {

inline bool IsSystemLeadByte(unsigned char byte) {
  return IsDBCSLeadByte(byte) != FALSE;
}

inline void UseSystemCodePage() { SetLeadByteTest(IsSystemLeadByte); }

// Text of the system's code page as UTF-16, as it leaves for other programs.
inline std::wstring Widen(std::string_view ansi) {
  if (ansi.empty()) return {};
  const int size = static_cast<int>(ansi.size());
  const int wide =
      MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
  std::wstring text(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, text.data(), wide);
  return text;
}

}  // namespace tavro::win
