#include "Text.h"

#include "CodePage.h"

namespace tavro {

std::string CutToBuffer(std::string_view text) {
  return std::string(WholePrefix(text, kBufferSize));
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  // No second byte of a double-byte character is a CR or an LF.
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      ++i;
      continue;
    }
    lines.push_back(text.substr(start, i - start));
    i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    start = i;
  }
  lines.push_back(text.substr(start));
  return lines;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines = Lines(text);
  if (lines.back().empty()) lines.pop_back();
  return {lines.begin(), lines.end()};
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  // Lowering keeps every character's size, so equal results mean the texts
  // differ only in the case of single-byte letters.
  return a.size() == b.size() && LowerAscii(a) == LowerAscii(b);
}

}  // namespace tavro
