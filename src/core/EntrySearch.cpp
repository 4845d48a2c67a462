#include "EntrySearch.h"

namespace tavro {

namespace {
// What ends a word: blanks and the ASCII signs, the ideographic space and
// the CJK and full-width signs. Letters of any script, digits and
// ideographs go on.
bool Separates(char16_t c) {
  if (c < 0x80)
    return !((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') ||
             (c >= u'A' && c <= u'Z'));
  return (c >= 0x2000 && c <= 0x206F) || (c >= 0x3000 && c <= 0x303F) ||
         (c >= 0xFF00 && c <= 0xFF0F) || c == 0x00A0;
}

enum class Found { Nowhere, InsideAWord, AtAWordStart };

Found Where(std::u16string_view title, std::u16string_view query) {
  Found found = Found::Nowhere;
  for (std::size_t at = title.find(query); at != std::u16string_view::npos;
       at = title.find(query, at + 1)) {
    // The second half of a surrogate pair starts nothing.
    if (at > 0 && title[at - 1] >= 0xD800 && title[at - 1] < 0xDC00) continue;
    if (at == 0 || Separates(title[at - 1])) return Found::AtAWordStart;
    found = Found::InsideAWord;
  }
  return found;
}
}  // namespace

std::vector<std::size_t> SearchTitles(
    const std::vector<std::u16string>& foldedTitles,
    std::u16string_view foldedQuery) {
  std::vector<std::size_t> starts, insides;
  for (std::size_t i = 0; i < foldedTitles.size(); ++i) {
    switch (Where(foldedTitles[i], foldedQuery)) {
      case Found::AtAWordStart:
        starts.push_back(i);
        break;
      case Found::InsideAWord:
        insides.push_back(i);
        break;
      case Found::Nowhere:
        break;
    }
  }
  starts.insert(starts.end(), insides.begin(), insides.end());
  return starts;
}

}  // namespace tavro
