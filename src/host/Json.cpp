#include "Json.h"

namespace tavro::host {

std::string JsonQuote(std::string_view utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
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
          out += c;  // UTF-8 sequences pass as they are
        }
    }
  }
  return out + "\"";
}

namespace {
// A recursive-descent reader that only checks, except for the one member
// it keeps.
class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::optional<std::string> Request() {
    Blanks();
    if (!Object(1, true)) return std::nullopt;
    Blanks();
    if (at_ != text_.size()) return std::nullopt;
    return type_;
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
  static bool IsHex(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  }

  // Keeps the string's text when `kept` is given, the simple escapes
  // undone; a \u escape is kept as '?', since the one member kept, the
  // request's type, has none in a type the host knows.
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
        for (int i = 0; i < 4; ++i)
          if (!More() || !IsHex(text_[at_++])) return false;
        if (kept) *kept += '?';
        continue;
      }
      const std::string_view simple = "\"\\/bfnrt";
      const std::size_t which = simple.find(e);
      if (which == std::string_view::npos) return false;
      if (kept) *kept += "\"\\/\b\f\n\r\t"[which];
    }
    return false;
  }

  bool Number() {
    Take('-');
    if (Take('0')) {
    } else if (IsDigit(Peek())) {
      while (IsDigit(Peek())) ++at_;
    } else {
      return false;
    }
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
        return Number();
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

  bool Object(int depth, bool top) {
    if (depth > kMaxDepth || !Take('{')) return false;
    if (top) type_ = std::nullopt;
    Blanks();
    if (Take('}')) return Ended(top);
    do {
      Blanks();
      std::string name;
      if (!String(&name)) return false;
      Blanks();
      if (!Take(':')) return false;
      Blanks();
      if (top && name == "type" && Peek() == '"') {
        std::string value;
        if (!String(&value)) return false;
        if (!type_) type_ = value;  // the first one counts
      } else if (!Value(depth)) {
        return false;
      }
      Blanks();
    } while (Take(','));
    return Take('}') && Ended(top);
  }

  bool Ended(bool top) {
    if (top && !type_) type_ = "";
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::optional<std::string> type_;
};
}  // namespace

std::optional<std::string> RequestType(std::string_view json) {
  return Reader(json).Request();
}

}  // namespace tavro::host
