// What TavroType types and how it labels and reads its settings: all
// window-free.
#include <gtest/gtest.h>

#include "CodePages.h"
#include "HotkeySetting.h"
#include "MemoryFileSystem.h"
#include "MemoryProfileFile.h"
#include "TypingPlan.h"

namespace tavro {
namespace {

// A code page 936 of the test's own: ASCII, and the two characters below
// whose second byte is a backslash. Converting a byte on its own, or a
// pair split apart, shows as U+FFFD.
std::u16string Widen936(std::string_view ansi) {
  std::u16string out;
  for (std::size_t i = 0; i < ansi.size(); i += CharSize(ansi, i)) {
    const std::string_view c = ansi.substr(i, CharSize(ansi, i));
    out += c == "\xE5\x5C"   ? u'\u9326'  // 錦
           : c == "\xDF\x5C" ? u'\u904B'  // 運
           : c.size() == 1 && static_cast<unsigned char>(c[0]) < 0x80
               ? static_cast<char16_t>(c[0])
               : u'\uFFFD';
  }
  return out;
}

// UTF-8 as the system code page (Windows' own option), the one whose
// characters reach beyond the BMP.
std::u16string WidenUtf8(std::string_view text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const int size = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t c = size == 1 ? b : b & (0x3F >> (size - 1));
    for (int k = 1; k < size; ++k)
      c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    if (c > 0xFFFF) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    i += static_cast<std::size_t>(size);
  }
  return out;
}

TEST(TypingPlanTest, LineBreaksBecomeKeysOrBlanksByTheField) {
  struct Row {
    const char* content;
    const char16_t* oneLine;
    const char16_t* multiLine;
  };
  const Row rows[] = {
      {"me@example.org", u"me@example.org", u"me@example.org"},
      {"1 Main St\r\nSpringfield", u"1 Main St Springfield",
       u"1 Main St\nSpringfield"},
      {"a\nb\rc", u"a b c", u"a\nb\nc"},
      {"a\n\rb", u"a b", u"a\n\nb"},  // LF CR is two breaks, not one pair
      {"a\r\n\r\nb\r\n", u"a b", u"a\n\nb\n"},
      {"\r\n", u"", u"\n"},
      {"", u"", u""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(TypingPlan(row.content, false, WidenUtf8), row.oneLine)
        << row.content;
    EXPECT_EQ(TypingPlan(row.content, true, WidenUtf8), row.multiLine)
        << row.content;
  }
}

TEST(TypingPlanTest, DoubleBytePairsAndSurrogatesStayWhole) {
  {
    const ScopedCodePage gbk(IsLeadByte936);
    EXPECT_EQ(TypingPlan("\xE5\x5C\r\n\xDF\x5C", false, Widen936),
              u"\u9326 \u904B");
    EXPECT_EQ(TypingPlan("\xE5\x5C\n\xDF\x5C\\", true, Widen936),
              u"\u9326\n\u904B\\");
  }
  EXPECT_EQ(TypingPlan("\xF0\x9F\x98\x80\r\nx", true, WidenUtf8),
            u"\U0001F600\nx");
}

TEST(TypingPlanTest, LabelsAsTheBrowserMenuWithDigitAccessKeys) {
  EXPECT_EQ(PickerLabel(0, "E-mail"), "0&0.E-mail");
  EXPECT_EQ(PickerLabel(9, "R&D"), "0&9.R&&D");
  EXPECT_EQ(PickerLabel(10, "a\\b"), "10.a/b");
  const ScopedCodePage gbk(IsLeadByte936);
  // 0x26 ('&') may not follow a lead byte in GBK, but must stay single.
  EXPECT_EQ(PickerLabel(1, "\xE5\x5C&"), "0&1.\xE5\x5C&&");
}

TEST(HotkeySettingTest, ParsesModifiersAndOneKey) {
  struct Row {
    const char* text;
    std::optional<Hotkey> hotkey;
  };
  const Row rows[] = {
      {"Ctrl+Alt+Space", Hotkey{kModControl | kModAlt, 0x20}},
      {" win + shift + f9 ", Hotkey{kModWin | kModShift, 0x78}},
      {"Control+Alt+t", Hotkey{kModControl | kModAlt, 'T'}},
      {"Alt+PageDown", Hotkey{kModAlt, 0x22}},
      {"F24", Hotkey{0, 0x87}},
      {"Ctrl+7", Hotkey{kModControl, '7'}},
      {"Shift+A", std::nullopt},  // would take a capital letter away
      {"Space", std::nullopt},
      {"Ctrl+Alt", std::nullopt},
      {"Ctrl+Alt+", std::nullopt},
      {"Ctrl+Hyper+A", std::nullopt},
      {"Ctrl+F0", std::nullopt},
      {"Ctrl+F25", std::nullopt},
      {"Ctrl+AB", std::nullopt},
  };
  for (const Row& row : rows)
    EXPECT_EQ(ParseHotkey(row.text), row.hotkey) << row.text;
  EXPECT_EQ(HotkeyText(*ParseHotkey(" win + alt+ctrl+shift + f9 ")),
            "Ctrl+Alt+Shift+Win+F9");
  EXPECT_EQ(HotkeyText(*ParseHotkey("alt+q")), "Alt+Q");
}

TEST(HotkeySettingTest, ReadsTheIniBesideTheProgram) {
  MemoryFileSystem files;
  MemoryProfileFile profiles(files);
  const std::string ini = "C:\\Tavro\\TavroType.ini";
  const Hotkey standard{kModControl | kModAlt, 0x20};
  struct Row {
    const char* file;  // nullptr: no file
    std::optional<Hotkey> hotkey;
    std::optional<std::string> bad;
  };
  const Row rows[] = {
      {nullptr, standard, std::nullopt},
      {"[Hotkey]\r\nKey=\r\n", standard, std::nullopt},
      {"[hotkey]\r\nkey=Win+Alt+K\r\n", Hotkey{kModWin | kModAlt, 'K'},
       std::nullopt},
      {"[Hotkey]\r\nKey=Ctrl+Alt+Spacebar\r\n", std::nullopt,
       "Ctrl+Alt+Spacebar"},
  };
  for (const Row& row : rows) {
    if (row.file) files.AddFile(ini, row.file);
    const HotkeySetting setting = ReadHotkeySetting(profiles, ini);
    EXPECT_EQ(setting.hotkey, row.hotkey) << (row.file ? row.file : "none");
    EXPECT_EQ(setting.bad, row.bad);
  }
}

}  // namespace
}  // namespace tavro
