#include "TypingPlan.h"

#include <vector>

#include "CodePage.h"
#include "Registration.h"

namespace tavro {

namespace {
// The lines of the text, split by whole characters: a trail byte is never
// taken for a CR or an LF.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.push_back(text.substr(start, i - start));
      i += (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2
                                                                           : 1;
      start = i;
    } else {
      i += CharSize(text, i);
    }
  }
  lines.push_back(text.substr(start));
  return lines;
}
}  // namespace

std::u16string TypingPlan(std::string_view content, bool multiLine,
                          Widen widen) {
  std::u16string plan;
  bool first = true;
  for (std::string_view line : Lines(content)) {
    if (!multiLine && line.empty()) continue;
    if (!first) plan += multiLine ? u'\n' : u' ';
    plan += widen(line);
    first = false;
  }
  return plan;
}

std::string PickerLabel(int index, std::string_view title) {
  std::string name = MenuKeyName(index, title);
  std::string label;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t size = CharSize(name, i);
    if (name[i] == '&' && size == 1) label += '&';
    label.append(name, i, size);
    i += size;
  }
  // Before the last digit of "00." to "09.", which becomes the access key.
  if (index >= 0 && index <= 9) label.insert(1, 1, '&');
  return label;
}

}  // namespace tavro
