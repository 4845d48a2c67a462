#include "Json.h"

namespace tavro::host {

namespace {
void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The length of the well-formed UTF-8 sequence at `at`, or 0: no overlong
// forms, no surrogates, nothing above U+10FFFF.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) {
    return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0;
  };
  const unsigned char lead = byte(0);
  auto follows = [&](std::size_t n, unsigned char low, unsigned char high) {
    if (byte(1) < low || byte(1) > high) return std::size_t{0};
    for (std::size_t i = 2; i < n; ++i)
      if ((byte(i) & 0xC0) != 0x80) return std::size_t{0};
    return n;
  };
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return follows(2, 0x80, 0xBF);
  if (lead == 0xE0) return follows(3, 0xA0, 0xBF);
  if (lead == 0xED) return follows(3, 0x80, 0x9F);
  if (lead >= 0xE1 && lead <= 0xEF) return follows(3, 0x80, 0xBF);
  if (lead == 0xF0) return follows(4, 0x90, 0xBF);
  if (lead >= 0xF1 && lead <= 0xF3) return follows(4, 0x80, 0xBF);
  if (lead == 0xF4) return follows(4, 0x80, 0x8F);
  return 0;
}
}  // namespace

std::string JsonQuote(std::string_view utf8) {
  std::string out = "\"";
  for (std::size_t i = 0; i < utf8.size();) {
    const char c = utf8[i];
    const auto byte = static_cast<unsigned char>(c);
    const std::size_t length = Utf8Length(utf8, i);
    if (length == 0) {
      out += "\xEF\xBF\xBD";  // U+FFFD, which stays itself when quoted again
      ++i;
      continue;
    }
    if (length > 1) {
      out.append(utf8, i, length);
      i += length;
      continue;
    }
    ++i;
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20) {
          // By hand: printf would bring its float formatting into the exe.
          out += "\\u00";
          out += "0123456789abcdef"[byte >> 4];
          out += "0123456789abcdef"[byte & 15];
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

namespace {
// A recursive-descent reader that only checks, except for the members of
// the top level that it keeps.
class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::optional<Request> Read() {
    Blanks();
    if (!Object(1, true)) return std::nullopt;
    Blanks();
    if (at_ != text_.size()) return std::nullopt;
    return request_;
  }

 private:
  static constexpr int kMaxDepth = 64;

  bool More() const { return at_ < text_.size(); }
  char Peek() const { return More() ? text_[at_] : '\0'; }
  bool Take(char c) {
    if (Peek() != c || !More()) return false;
    ++at_;
    return true;
  }
  void Blanks() {
    while (More() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' ||
                      Peek() == '\r'))
      ++at_;
  }
  bool Word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
  static int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  // Four hex digits after "\u".
  bool Hex4(char32_t& unit) {
    unit = 0;
    for (int i = 0; i < 4; ++i) {
      const int digit = More() ? HexValue(text_[at_++]) : -1;
      if (digit < 0) return false;
      unit = unit << 4 | static_cast<char32_t>(digit);
    }
    return true;
  }

  // Keeps the string's text when `kept` is given, its escapes undone: a
  // pair of surrogates is one character, a lone one U+FFFD.
  bool String(std::string* kept) {
    if (!Take('"')) return false;
    while (More()) {
      const char c = text_[at_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        if (kept) *kept += c;
        continue;
      }
      if (!More()) return false;
      const char e = text_[at_++];
      if (e == 'u') {
        char32_t unit;
        if (!Hex4(unit)) return false;
        if (unit >= 0xD800 && unit <= 0xDBFF && text_.substr(at_, 2) == "\\u") {
          const std::size_t back = at_;
          at_ += 2;
          char32_t low;
          if (!Hex4(low)) return false;
          if (low >= 0xDC00 && low <= 0xDFFF)
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
          else
            at_ = back;  // read again as a character of its own
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) unit = 0xFFFD;
        if (kept) AppendUtf8(*kept, unit);
        continue;
      }
      const std::string_view simple = "\"\\/bfnrt";
      const std::size_t which = simple.find(e);
      if (which == std::string_view::npos) return false;
      if (kept) *kept += "\"\\/\b\f\n\r\t"[which];
    }
    return false;
  }

  // Keeps a whole number of 0 or more that fits 32 bits when `kept` is
  // given; other numbers leave it empty.
  bool Number(std::optional<std::uint32_t>* kept) {
    const std::size_t begin = at_;
    Take('-');
    if (Take('0')) {
    } else if (IsDigit(Peek())) {
      while (IsDigit(Peek())) ++at_;
    } else {
      return false;
    }
    const std::size_t digitsEnd = at_;
    if (Take('.')) {
      if (!IsDigit(Peek())) return false;
      while (IsDigit(Peek())) ++at_;
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++at_;
      if (Peek() == '+' || Peek() == '-') ++at_;
      if (!IsDigit(Peek())) return false;
      while (IsDigit(Peek())) ++at_;
    }
    if (kept && at_ == digitsEnd && text_[begin] != '-' &&
        digitsEnd - begin <= 10) {
      std::uint64_t value = 0;
      for (std::size_t i = begin; i < digitsEnd; ++i)
        value = value * 10 + static_cast<std::uint64_t>(text_[i] - '0');
      if (value <= 0xFFFFFFFFu) *kept = static_cast<std::uint32_t>(value);
    }
    return true;
  }

  bool Value(int depth) {
    Blanks();
    switch (Peek()) {
      case '{':
        return Object(depth + 1, false);
      case '[':
        return Array(depth + 1);
      case '"':
        return String(nullptr);
      case 't':
        return Word("true");
      case 'f':
        return Word("false");
      case 'n':
        return Word("null");
      default:
        return Number(nullptr);
    }
  }

  bool Array(int depth) {
    if (depth > kMaxDepth || !Take('[')) return false;
    Blanks();
    if (Take(']')) return true;
    do {
      if (!Value(depth)) return false;
      Blanks();
    } while (Take(','));
    return Take(']');
  }

  // A member of the top level: the ones the host reads are kept, the first
  // of each name.
  bool Member(const std::string& name, int depth) {
    if (name == "type" && Peek() == '"') return KeepString(type_);
    if (name == "title" && Peek() == '"') return KeepString(request_.title);
    if (name == "index" && (Peek() == '-' || IsDigit(Peek()))) {
      std::optional<std::uint32_t> value;
      if (!Number(&value)) return false;
      if (!indexSeen_) request_.index = value;
      indexSeen_ = true;
      return true;
    }
    return Value(depth);
  }
  bool KeepString(std::optional<std::string>& field) {
    if (field) return String(nullptr);
    std::string text;
    if (!String(&text)) return false;
    field = std::move(text);
    return true;
  }

  bool Object(int depth, bool top) {
    if (depth > kMaxDepth || !Take('{')) return false;
    Blanks();
    if (Take('}')) return Ended(top);
    do {
      Blanks();
      std::string name;
      if (!String(&name)) return false;
      Blanks();
      if (!Take(':')) return false;
      Blanks();
      if (!(top ? Member(name, depth) : Value(depth))) return false;
      Blanks();
    } while (Take(','));
    return Take('}') && Ended(top);
  }

  bool Ended(bool top) {
    if (top) request_.type = type_.value_or("");
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::optional<std::string> type_;
  bool indexSeen_ = false;
  Request request_;
};
}  // namespace

std::optional<Request> ParseRequest(std::string_view json) {
  return Reader(json).Read();
}

}  // namespace tavro::host
