// What TavroType types and how it labels and reads its settings: all
// window-free.
#include <gtest/gtest.h>

#include "CodePages.h"
#include "EntrySearch.h"
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
      // Control characters are text, never commands: 0x16 would paste.
      {"p\x16q\x08\x1a\x1b\x7f!", u"pq!", u"pq!"},
      {"a\tb", u"a b", u"a\tb"},  // Tab would leave a one-line field
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

TEST(TypingPlanTest, PiecesKeepSurrogatePairsAndCountCharacters) {
  const std::u16string plan = u"ab\U0001F600cd";
  EXPECT_EQ(TypingPieces(plan, 3),
            (std::vector<std::u16string_view>{u"ab", u"\U0001F600c", u"d"}));
  EXPECT_EQ(TypingPieces(plan, 100).size(), 1u);
  EXPECT_TRUE(TypingPieces(u"", 3).empty());
  EXPECT_EQ(CharacterCount(plan), 5u);
  const Growth twoLines = FieldGrowth(u"a\nb", FieldKind::MultiLineEdit);
  EXPECT_EQ(twoLines.least, 3u);
  EXPECT_EQ(twoLines.most, 4u);
}

TEST(TypingPlanTest, TheFieldKindComesFromWhatTellsItFirst) {
  struct Row {
    FieldFacts facts;
    FieldKind kind;
  };
  const Row rows[] = {
      {{}, FieldKind::SingleLine},
      {{true, false, true, true}, FieldKind::SingleLine},  // an edit says
      {{true, true, {}, false}, FieldKind::MultiLineEdit},
      {{false, false, true, false}, FieldKind::MultiLineOther},
      {{false, false, false, true}, FieldKind::SingleLine},  // IA2 before UIA
      {{false, false, {}, true}, FieldKind::MultiLineOther},
  };
  for (const Row& row : rows)
    EXPECT_EQ(KindOfField(row.facts), row.kind)
        << static_cast<int>(&row - rows);
}

TEST(TypingPlanTest, AStopSaysWhatWasTypedWhereAndWhy) {
  EXPECT_EQ(StopMessage({"E-mail", "Notepad (notepad.exe)", 12, 40,
                         StopReason::NotInFront}),
            "TavroType stopped typing \"E-mail\" into Notepad (notepad.exe) "
            "after 12 of 40 characters: another window is in front.");
  const std::string message =
      StopMessage({std::string(5000, 't'), std::string(5000, 'p'), 0, 1,
                   StopReason::Escape});
  EXPECT_LT(message.size(), 220u);
}

TEST(TypingPlanTest, APickFindsItsEntryAfterASave) {
  const std::vector<TSection> before{{"A", "1"}, {"B", "2"}, {"A", "3"}};
  const PickedEntry second = Picked(before, 2);
  EXPECT_EQ(Find(before, second), 2u);
  EXPECT_EQ(Find({{"A", "new"}, {"A", "3+"}, {"B", "2"}}, second), 1u);
  EXPECT_EQ(Find({{"A", "1"}, {"B", "2"}}, second), std::nullopt);
}

TEST(TypingPlanTest, LabelsAsTheBrowserMenuWithDigitAccessKeys) {
  EXPECT_EQ(PickerLabel(0, "E-mail"), "0&0.E-mail");
  EXPECT_EQ(PickerLabel(9, "R&D"), "0&9.R&&D");
  EXPECT_EQ(PickerLabel(10, "a\\b"), "10.a/b");
  const ScopedCodePage gbk(IsLeadByte936);
  // 0x26 ('&') may not follow a lead byte in GBK, but must stay single.
  EXPECT_EQ(PickerLabel(1, "\xE5\x5C&"), "0&1.\xE5\x5C&&");
}

TEST(EntrySearchTest, WordStartsFirstThenAnywhereEachInListOrder) {
  const ScopedCodePage gbk(IsLeadByte936);
  const std::vector<std::u16string> titles{
      u"work address",   u"home address",
      u"zebra crossing", u"mailbox",
      u"e-mail",         u"box office",
      u"\U0001F600x",    Widen936("\xE5\x5C\xDF\x5C")};
  using Found = std::vector<std::size_t>;
  struct Row {
    const char16_t* query;
    Found found;
  };
  const Row rows[] = {
      {u"zeb", {2}},     {u"work", {0}},
      {u"addr", {0, 1}}, {u"mail", {3, 4}},  // a hyphen ends a word too
      {u"box", {5, 3}},  {u"ail", {3, 4}},
      {u"\u904B", {7}},  // 運, inside 錦運
      {u"\\", {}},       // the second bytes of 錦 and 運 are no backslash
      {u"\xDE00x", {}},  // half a surrogate pair
      {u"xyz", {}},      {u"", {0, 1, 2, 3, 4, 5, 6, 7}},
  };
  for (const Row& row : rows)
    EXPECT_EQ(SearchTitles(titles, row.query), row.found)
        << static_cast<int>(&row - rows);
}

TEST(HotkeySettingTest, ParsesModifiersAndOneKey) {
  struct Row {
    const char* text;
    std::optional<Hotkey> hotkey;
  };
  const Row rows[] = {
      {"Ctrl+Alt+Space", Hotkey{kModControl | kModAlt, 0x20}},
      {" win + ctrl + f9 ", Hotkey{kModWin | kModControl, 0x78}},
      {"Control+Alt+t", Hotkey{kModControl | kModAlt, 'T'}},
      {"Alt+Shift+T", Hotkey{kModAlt | kModShift, 'T'}},
      {"F24", Hotkey{0, 0x87}},
      {"Shift+F13", Hotkey{kModShift, 0x7C}},
      {"Ctrl+7", Hotkey{kModControl, '7'}},
      {"Win+Alt+K", Hotkey{kModWin | kModAlt, 'K'}},
      // What Windows or every program needs.
      {"Shift+A", std::nullopt},  // would take a capital letter away
      {"Space", std::nullopt},
      {"Alt+F4", std::nullopt},
      {"Alt+Tab", std::nullopt},
      {"Alt+Space", std::nullopt},
      {"Alt+PageDown", std::nullopt},
      {"Alt+7", std::nullopt},
      {"F12", std::nullopt},
      {"Shift+F1", std::nullopt},
      {"Win+L", std::nullopt},
      {"Win+Shift+S", std::nullopt},
      {"Ctrl+Alt+Delete", std::nullopt},
      {"Ctrl+Win+Right", std::nullopt},
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
