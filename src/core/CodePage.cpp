#include "CodePage.h"

namespace tavro {

namespace {
bool NoLeadBytes(unsigned char) { return false; }
LeadByteTest leadByteTest = NoLeadBytes;
}  // namespace

void SetLeadByteTest(LeadByteTest test) {
  leadByteTest = test ? test : NoLeadBytes;
}

LeadByteTest CurrentLeadByteTest() { return leadByteTest; }

bool IsLeadByte(unsigned char byte) { return leadByteTest(byte); }

std::string_view WholePrefix(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t next = end + CharSize(text, end);
    if (next > maxBytes) break;
    end = next;
  }
  return text.substr(0, end);
}

std::size_t FileNameStart(std::string_view path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); i += CharSize(path, i))
    if (path[i] == '\\' || path[i] == '/') start = i + 1;
  return start;
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size(); i += CharSize(out, i))
    if (out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] + 32);
  return out;
}

}  // namespace tavro
