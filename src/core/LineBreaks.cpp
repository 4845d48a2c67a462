#include "LineBreaks.h"

#include "CodePage.h"

namespace tavro {

namespace {
constexpr std::string_view kEncodedBreak = "\\r\\n";
constexpr std::string_view kBreak = "\r\n";

// One left-to-right pass; a replacement can never form a new match, so this
// equals replacing the first occurrence again and again.
std::string ReplaceAll(std::string_view text, std::string_view from,
                       std::string_view to) {
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  std::size_t pos = 0;
  for (;;) {
    const std::size_t hit = text.find(from, pos);
    if (hit == std::string_view::npos) break;
    out.append(text, pos, hit - pos);
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text, pos);
  return out;
}
}  // namespace

// CR and LF are never the second byte of a character, so a plain search
// finds only real line breaks.
std::string EncodeLineBreaks(std::string_view text) {
  return ReplaceAll(text, kBreak, kEncodedBreak);
}

// A backslash may be the second byte of a character: matches start only
// where characters do.
std::string DecodeLineBreaks(std::string_view encoded) {
  std::string out;
  out.reserve(encoded.size());
  for (std::size_t i = 0; i < encoded.size();) {
    if (encoded.compare(i, kEncodedBreak.size(), kEncodedBreak) == 0) {
      out += kBreak;
      i += kEncodedBreak.size();
      continue;
    }
    const std::size_t size = CharSize(encoded, i);
    out.append(encoded, i, size);
    i += size;
  }
  return out;
}

std::string NormalizeLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      out += kBreak;
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace tavro
