// The core walks text by the characters of the system's ANSI code page.
#pragma once

#include <windows.h>

#include "CodePage.h"

namespace tavro::win {

inline bool IsSystemLeadByte(unsigned char byte) {
  return IsDBCSLeadByte(byte) != FALSE;
}

inline void UseSystemCodePage() { SetLeadByteTest(IsSystemLeadByte); }

}  // namespace tavro::win
