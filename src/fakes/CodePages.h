// The lead bytes of the double-byte code pages, for tests that run where
// the system's own code page is single-byte.
#pragma once

#include "CodePage.h"

namespace tavro {

// Shift JIS (Japanese).
inline bool IsLeadByte932(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
// GBK (Simplified Chinese); 949 and 950 use the same range.
inline bool IsLeadByte936(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// The code page for one test's duration.
class ScopedCodePage {
 public:
  explicit ScopedCodePage(LeadByteTest test)
      : previous_(CurrentLeadByteTest()) {
    SetLeadByteTest(test);
  }
  ~ScopedCodePage() { SetLeadByteTest(previous_); }
  ScopedCodePage(const ScopedCodePage&) = delete;
  ScopedCodePage& operator=(const ScopedCodePage&) = delete;

 private:
  LeadByteTest previous_;
};

}  // namespace tavro
