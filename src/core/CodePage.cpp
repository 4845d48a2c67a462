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

std::string Abbreviated(std::string_view text, std::size_t maxBytes) {
  constexpr std::string_view kEllipsis = "...";
  if (text.size() <= maxBytes) return std::string(text);
  const std::size_t room =
      maxBytes > kEllipsis.size() ? maxBytes - kEllipsis.size() : 0;
  // The end tells more of a path (its file name) than the start.
  const std::string_view head = WholePrefix(text, room / 3);
  std::size_t tail = head.size();
  while (tail < text.size() && text.size() - tail > room - head.size())
    tail += CharSize(text, tail);
  return std::string(head).append(kEllipsis).append(text.substr(tail));
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
