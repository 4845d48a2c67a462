#include "FillScript.h"

#include "CodePage.h"

namespace tavro {

namespace {
constexpr std::string_view kHead =
    R"(<SCRIPT LANGUAGE="JavaScript" defer>)"
    "\r\n"
    "var parentwin=external.menuArguments;\r\n"
    "var doc=parentwin.document;\r\n"
    "var sel=doc.selection;\r\n"
    "var rng=sel.createRange();\r\n"
    R"(if (doc.activeElement.type=="text"||doc.activeElement.type=="textarea"||doc.activeElement.type=="password"))"
    "\r\n"
    R"(  rng.text=")";

constexpr std::string_view kTail = "\";\r\n</SCRIPT>\r\n";

static_assert(kHead.size() == 279);
static_assert(kTail.size() == 15);
}  // namespace

std::string EscapeForScript(std::string_view content) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(content.size() + content.size() / 4);
  for (std::size_t i = 0; i < content.size(); ++i) {
    // A double-byte character is copied whole: its second byte may look
    // like a backslash, and the browser reads the page in the code page.
    if (CharSize(content, i) == 2) {
      out.append(content, i, 2);
      ++i;
      continue;
    }
    const char c = content[i];
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      // A CR LF pair thus becomes \r\n, the same as its encoded form.
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      default:
        // '<' would let "</script" or "<!--" end or change the element.
        if (byte < 0x20 || byte == 0x7F || c == '<') {
          out += "\\x";
          out += kHex[byte >> 4];
          out += kHex[byte & 0x0F];
        } else {
          out += c;  // Bytes above 0x7F stay: the page is in the code page.
        }
    }
  }
  return out;
}

std::string FillScriptText(std::string_view content) {
  std::string text(kHead);
  text += EscapeForScript(content);
  text += kTail;
  return text;
}

}  // namespace tavro
