#include "FillScript.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LineBreaks.h"

namespace tavro {
namespace {

// Written out by hand so the constants in the code are checked, not copied.
const std::string kEmptyScript =
    "<SCRIPT LANGUAGE=\"JavaScript\" defer>\r\n"
    "var parentwin=external.menuArguments;\r\n"
    "var doc=parentwin.document;\r\n"
    "var sel=doc.selection;\r\n"
    "var rng=sel.createRange();\r\n"
    "if (doc.activeElement.type==\"text\"||doc.activeElement.type==\"textarea\""
    "||doc.activeElement.type==\"password\")\r\n"
    "  rng.text=\"\";\r\n"
    "</SCRIPT>\r\n";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  for (std::size_t end; (end = text.find("\r\n", pos)) != std::string::npos;
       pos = end + 2) {
    lines.push_back(text.substr(pos, end - pos));
  }
  EXPECT_EQ(pos, text.size()) << "text after the last CR LF";
  return lines;
}

TEST(FillScript, EmptyAndTwoLineContentGiveExactFiles) {
  ASSERT_EQ(kEmptyScript.size(), 294u);
  EXPECT_EQ(FillScriptText(""), kEmptyScript);

  std::string two = kEmptyScript;
  two.insert(279, "a\\r\\nb");
  ASSERT_EQ(two.size(), 300u);
  EXPECT_EQ(FillScriptText("a\r\nb"), two);
  EXPECT_EQ(Lines(two)[6], "  rng.text=\"a\\r\\nb\";");
}

TEST(FillScript, OrdinaryContentIsTheEncodedContent) {
  const std::string contents[] = {
      "x",
      "Dear Sir,\r\n\r\nregards, O'Brien & Co. (50% off) {$x} `y`",
      "Caf\xe9 \xa3"
      "100 \xff\x80",
      std::string(255, 'z'),
      "\r\n",
  };
  for (const std::string& content : contents) {
    const std::string encoded = EncodeLineBreaks(content);
    const std::string text = FillScriptText(content);
    EXPECT_EQ(EscapeForScript(content), encoded);
    ASSERT_EQ(text.size(), 294 + encoded.size()) << content;
    EXPECT_EQ(text.substr(279, encoded.size()), encoded);

    const std::vector<std::string> lines = Lines(text);
    const std::vector<std::size_t> lengths = {
        36, 37, 27, 22, 26, 107, 12 + encoded.size() + 2, 9};
    ASSERT_EQ(lines.size(), lengths.size()) << content;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].size(), lengths[i]) << "line " << i + 1;
    }
  }
}

TEST(FillScript, EscapesWhatJavaScriptOrHtmlWouldReadOtherwise) {
  const std::pair<std::string, std::string> cases[] = {
      {"say \"hi\"", R"(say \"hi\")"},
      {"C:\\temp\\", R"(C:\\temp\\)"},
      {"typed \\r\\n", R"(typed \\r\\n)"},
      {"a\rb\nc\n\r", R"(a\rb\nc\n\r)"},
      {"\r\r\n\n", R"(\r\r\n\n)"},
      {"</SCRIPT><!--", R"(\x3C/SCRIPT>\x3C!--)"},
      {std::string("\t\x1f\x7f\0!", 5), R"(\x09\x1F\x7F\x00!)"},
      {"'>&$`", "'>&$`"},
  };
  for (const auto& [content, escaped] : cases) {
    EXPECT_EQ(EscapeForScript(content), escaped);
  }
  const std::string text = FillScriptText("1\"2\r3");
  EXPECT_EQ(Lines(text)[6], R"(  rng.text="1\"2\r3";)");
}

}  // namespace
}  // namespace tavro
