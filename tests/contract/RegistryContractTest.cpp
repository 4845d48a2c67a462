// What the program relies on from the registry, checked against every
// backend alike: the in-memory one must behave as the real one does.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ErrorText.h"
#include "RegistryBackend.h"

namespace tavro::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The full path without its leading backslash, as the API functions see it.
std::size_t ApiPathLength(const std::string& path) { return path.size() - 1; }

// ---- Names and listing ----

TEST_P(RegistryContractTest, ListsSubkeysInAscendingOrderWithoutRegardToCase) {
  for (const char* name :
       {"B", "~x", "a", "11.y", "100.x", "10.b", "1", "09.c", "00.a"})
    backend().CreateKey(Path(name));
  ASSERT_TRUE(registry().OpenKey(root_, false));
  EXPECT_THAT(registry().GetKeyNames(),
              ElementsAre("00.a", "09.c", "1", "10.b", "100.x", "11.y", "a",
                          "B", "~x"));
}

TEST_P(RegistryContractTest, ListsOnlyDirectSubkeys) {
  backend().CreateKey(Path("a\\b\\c"));
  backend().SetRawValue(Path("v"), "x", kSz, "1");
  ASSERT_TRUE(registry().OpenKey(root_, false));
  EXPECT_THAT(registry().GetKeyNames(), ElementsAre("a", "v"));
}

TEST_P(RegistryContractTest, ListsNothingWithoutAnOpenKey) {
  backend().CreateKey(Path("a"));
  EXPECT_THAT(registry().GetKeyNames(), IsEmpty());
  ASSERT_TRUE(registry().OpenKey(root_, false));
  registry().CloseKey();
  EXPECT_THAT(registry().GetKeyNames(), IsEmpty());
  registry().CloseKey();  // closing twice is harmless
}

TEST_P(RegistryContractTest, KeyNamesAreCaseBlindAndKeepTheirFirstSpelling) {
  ASSERT_TRUE(registry().OpenKey(Path("MiXed"), true));
  registry().WriteString("v", "first");
  ASSERT_TRUE(registry().OpenKey(Path("MIXED"), true));
  EXPECT_EQ(registry().ReadString("v"), "first");
  ASSERT_TRUE(registry().OpenKey(Path("mixed"), false));
  ASSERT_TRUE(registry().OpenKey(root_, false));
  EXPECT_THAT(registry().GetKeyNames(), ElementsAre("MiXed"));
}

TEST_P(RegistryContractTest, ValueNamesAreCaseBlind) {
  ASSERT_TRUE(registry().OpenKey(root_, false));
  registry().WriteString("Marker", "one");
  EXPECT_TRUE(registry().ValueExists("MARKER"));
  EXPECT_EQ(registry().ReadString("marker"), "one");
  registry().WriteString("mARKER", "two");
  EXPECT_EQ(registry().ReadString("Marker"), "two");
}

TEST_P(RegistryContractTest, KeepsNamesWithOddCharactersAsTheyAre) {
  const std::string name =
      "a b. \"q\" 'x' <>|?* Caf\xe9 \xff~!@#$%^&()[]{};,=+`";
  ASSERT_TRUE(registry().OpenKey(Path(name), true));
  registry().WriteString(name, "Caf\xe9 \x80\xff");
  registry().CloseKey();

  ASSERT_TRUE(registry().OpenKey(root_, false));
  EXPECT_THAT(registry().GetKeyNames(), ElementsAre(name));
  ASSERT_TRUE(registry().OpenKey(Path(name), false));
  EXPECT_EQ(registry().ReadString(name), "Caf\xe9 \x80\xff");
  const auto stored = backend().GetRawValue(Path(name), name);
  ASSERT_TRUE(stored);
  EXPECT_EQ(TextBeforeNul(stored->bytes), "Caf\xe9 \x80\xff");
}

// The ANSI functions convert the path, counted from below the hive, into a
// buffer of 260 characters; anything longer cannot be opened or created.
TEST_P(RegistryContractTest, PathsUpTo260CharactersCanBeCreated) {
  const std::size_t room = 260 - ApiPathLength(root_) - 1;
  const std::string longest = Path(std::string(room, 'k'));
  ASSERT_EQ(ApiPathLength(longest), 260u);
  ASSERT_TRUE(registry().OpenKey(longest, true));
  registry().WriteString("v", "x");
  EXPECT_TRUE(registry().OpenKey(longest, false));
  EXPECT_TRUE(registry().OpenKey(longest + "\\", false));
  EXPECT_TRUE(backend().KeyExists(longest));
}

TEST_P(RegistryContractTest, LongerPathsFailAndCreateNothing) {
  ASSERT_TRUE(registry().OpenKey(Path("kept"), true));
  const std::size_t room = 260 - ApiPathLength(root_) - 1;
  const std::string tooLong = Path("parent\\" + std::string(room, 'k'));
  EXPECT_FALSE(registry().OpenKey(tooLong, true));
  EXPECT_FALSE(registry().OpenKey(tooLong, false));
  EXPECT_FALSE(backend().KeyExists(Path("parent")));
  // A name longer than 255 characters fails even where the path would not.
  EXPECT_FALSE(registry().OpenKey(Path(std::string(256, 'n')), true));
  EXPECT_FALSE(registry().OpenKey(Path(std::string(300, 'n')), true));

  // The key open before is still the open one.
  registry().WriteString("v", "still here");
  EXPECT_EQ(backend().GetRawValue(Path("kept"), "v")->type, kSz);
  ASSERT_TRUE(registry().OpenKey(root_, false));
  EXPECT_THAT(registry().GetKeyNames(), ElementsAre("kept"));
}

// ---- Opening ----

TEST_P(RegistryContractTest, OpenWithoutCreationFailsForAMissingKey) {
  EXPECT_FALSE(registry().OpenKey(Path("missing"), false));
  EXPECT_FALSE(registry().OpenKey(Path("missing\\deeper"), false));
  EXPECT_FALSE(backend().KeyExists(Path("missing")));
  EXPECT_FALSE(registry().ValueExists(""));
}

TEST_P(RegistryContractTest, OpenWithCreationMakesEveryMissingKeyOnThePath) {
  ASSERT_TRUE(registry().OpenKey(Path("a\\b\\c"), true));
  registry().WriteString("v", "in c");
  EXPECT_TRUE(backend().KeyExists(Path("a")));
  EXPECT_TRUE(backend().KeyExists(Path("a\\b")));
  EXPECT_EQ(TextBeforeNul(backend().GetRawValue(Path("a\\b\\c"), "v")->bytes),
            "in c");
  EXPECT_FALSE(backend().GetRawValue(Path("a\\b"), "v"));
}

TEST_P(RegistryContractTest, OpenWithCreationKeepsAnExistingKeyAsItIs) {
  backend().SetRawValue(Path("k"), "v", kSz, std::string("old\0", 4));
  backend().CreateKey(Path("k\\child"));
  ASSERT_TRUE(registry().OpenKey(Path("k"), true));
  EXPECT_EQ(registry().ReadString("v"), "old");
  EXPECT_THAT(registry().GetKeyNames(), ElementsAre("child"));
}

TEST_P(RegistryContractTest, PathsMayEndInABackslash) {
  ASSERT_TRUE(registry().OpenKey(Path("k\\"), true));
  registry().WriteString("v", "x");
  EXPECT_TRUE(backend().KeyExists(Path("k")));
  ASSERT_TRUE(registry().OpenKey(root_ + "\\", false));
  EXPECT_THAT(registry().GetKeyNames(), ElementsAre("k"));
}

TEST_P(RegistryContractTest, ASuccessfulOpenReplacesTheOpenKey) {
  backend().SetRawValue(Path("a"), "only in a", kSz, "a");
  ASSERT_TRUE(registry().OpenKey(Path("a"), false));
  ASSERT_TRUE(registry().OpenKey(Path("b"), true));
  EXPECT_FALSE(registry().ValueExists("only in a"));
  registry().WriteString("w", "b");
  EXPECT_TRUE(backend().GetRawValue(Path("b"), "w"));
  EXPECT_FALSE(backend().GetRawValue(Path("a"), "w"));
}

TEST_P(RegistryContractTest, AFailedOpenKeepsThePreviousKeyOpen) {
  backend().SetRawValue(Path("a"), "v", kSz, "a");
  backend().CreateKey(Path("a\\child"));
  ASSERT_TRUE(registry().OpenKey(Path("a"), false));
  EXPECT_FALSE(registry().OpenKey(Path("missing"), false));
  EXPECT_TRUE(registry().ValueExists("v"));
  EXPECT_THAT(registry().GetKeyNames(), ElementsAre("child"));
  registry().WriteString("w", "after");
  EXPECT_TRUE(backend().GetRawValue(Path("a"), "w"));
}

TEST_P(RegistryContractTest, AReadOnlyOpenReadsButCannotWrite) {
  backend().SetRawValue(Path("k"), "v", kSz, std::string("old\0", 4));
  backend().CreateKey(Path("k\\child"));
  EXPECT_FALSE(registry().OpenKeyReadOnly(Path("missing")));
  EXPECT_FALSE(backend().KeyExists(Path("missing")));
  ASSERT_TRUE(registry().OpenKeyReadOnly(Path("k\\")));
  EXPECT_EQ(registry().ReadString("v"), "old");
  EXPECT_THAT(registry().GetKeyNames(), ElementsAre("child"));

  EXPECT_EQ(ErrorText([&] { registry().WriteString("v", "new"); }),
            "Failed to set data for 'v'");
  EXPECT_EQ(ErrorText([&] { registry().WriteInteger("n", 1); }),
            "Failed to set data for 'n'");
  EXPECT_FALSE(registry().DeleteValue("v"));
  EXPECT_EQ(registry().ReadString("v"), "old");
  ASSERT_TRUE(registry().OpenKey(Path("k"), false));  // writes again
  registry().WriteString("v", "new");
  EXPECT_EQ(registry().ReadString("v"), "new");
}

// ---- Reading ----

TEST_P(RegistryContractTest, ValueExistsForEveryTypeAndOnlyInTheOpenKey) {
  backend().SetRawValue(Path("k"), "sz", kSz, std::string("x\0", 2));
  backend().SetRawValue(Path("k"), "dword", kDword, std::string(4, '\0'));
  backend().SetRawValue(Path("k"), "binary", kBinary, "\x01");
  backend().SetRawValue(Path("k"), "none", kNone, "");
  EXPECT_FALSE(registry().ValueExists("sz"));
  ASSERT_TRUE(registry().OpenKey(Path("k"), false));
  for (const char* name : {"sz", "dword", "binary", "none"})
    EXPECT_TRUE(registry().ValueExists(name)) << name;
  EXPECT_FALSE(registry().ValueExists("missing"));
  EXPECT_FALSE(registry().ValueExists(""));
  registry().CloseKey();
  EXPECT_FALSE(registry().ValueExists("sz"));
}

TEST_P(RegistryContractTest, MissingValuesReadAsEmptyText) {
  EXPECT_EQ(registry().ReadString("v"), "");
  ASSERT_TRUE(registry().OpenKey(root_, false));
  EXPECT_EQ(registry().ReadString("v"), "");
  EXPECT_EQ(registry().ReadString(""), "");
}

TEST_P(RegistryContractTest, ValuesWithoutDataReadAsEmptyTextWhateverTheType) {
  for (std::uint32_t type : {kSz, kExpandSz, kBinary, kDword, kNone})
    backend().SetRawValue(Path("k"), "t" + std::to_string(type), type, "");
  ASSERT_TRUE(registry().OpenKey(Path("k"), false));
  for (std::uint32_t type : {kSz, kExpandSz, kBinary, kDword, kNone}) {
    const std::string name = "t" + std::to_string(type);
    EXPECT_TRUE(registry().ValueExists(name)) << name;
    EXPECT_EQ(ErrorText([&] { EXPECT_EQ(registry().ReadString(name), ""); }),
              "(no error)")
        << name;
  }
}

TEST_P(RegistryContractTest, ValuesThatAreNotTextCannotBeReadAsText) {
  backend().SetRawValue(Path("k"), "Binary", kBinary, "\x01\x02");
  backend().SetRawValue(Path("k"), "Dword", kDword, "\x04\0\0\0");
  backend().SetRawValue(Path("k"), "Multi", kMultiSz,
                        std::string("a\0b\0\0", 5));
  backend().SetRawValue(Path("k"), "None", kNone, "abc");
  ASSERT_TRUE(registry().OpenKey(Path("k"), false));
  for (const char* name : {"Binary", "Dword", "Multi", "None"})
    EXPECT_EQ(ErrorText([&] { registry().ReadString(name); }),
              std::string("Invalid data type for '") + name + "'");
  // The text names the value as the caller spelled it.
  EXPECT_EQ(ErrorText([&] { registry().ReadString("bINARY"); }),
            "Invalid data type for 'bINARY'");
}

TEST_P(RegistryContractTest, TextEndsAtTheFirstNul) {
  backend().SetRawValue(Path("k"), "inner", kSz, std::string("ab\0cd\0", 6));
  backend().SetRawValue(Path("k"), "unterminated", kSz, "abc");
  backend().SetRawValue(Path("k"), "nul only", kSz, std::string(1, '\0'));
  ASSERT_TRUE(registry().OpenKey(Path("k"), false));
  EXPECT_EQ(registry().ReadString("inner"), "ab");
  EXPECT_EQ(registry().ReadString("unterminated"), "abc");
  EXPECT_EQ(registry().ReadString("nul only"), "");
}

// What another program may have written, read without reading it whole.
TEST_P(RegistryContractTest, ShortTextIsReadOnlyWhenPlainTextAndShort) {
  const struct {
    const char* name;
    std::uint32_t type;
    std::string bytes;
    std::optional<std::string> read;
  } rows[] = {
      {"fits", kSz, std::string("abcd\0", 5), "abcd"},
      {"unterminated", kSz, "abcd", "abcd"},
      {"empty", kSz, "", ""},
      {"inner nul", kSz, std::string("ab\0c", 4), "ab"},
      {"one more", kSz, std::string("abcde\0", 6), std::nullopt},
      {"huge", kSz, std::string(100000, 'x') + '\0', std::nullopt},
      {"expandable", kExpandSz, std::string("abc\0", 4), std::nullopt},
      {"dword", kDword, std::string("\x04\0\0\0", 4), std::nullopt},
      {"binary", kBinary, std::string(100000, 'x'), std::nullopt},
  };
  for (const auto& row : rows)
    backend().SetRawValue(Path("k"), row.name, row.type, row.bytes);
  EXPECT_EQ(registry().ReadShortString("fits", 4), std::nullopt);  // no key
  ASSERT_TRUE(registry().OpenKey(Path("k"), false));
  for (const auto& row : rows)
    EXPECT_EQ(registry().ReadShortString(row.name, 4), row.read) << row.name;
  EXPECT_EQ(registry().ReadShortString("missing", 4), std::nullopt);
}

TEST_P(RegistryContractTest, ExpandableTextIsReadUnexpanded) {
  backend().SetRawValue(Path("k"), "e", kExpandSz,
                        std::string("%SystemRoot%\\x\0", 15));
  ASSERT_TRUE(registry().OpenKey(Path("k"), false));
  EXPECT_EQ(registry().ReadString("e"), "%SystemRoot%\\x");
}

TEST_P(RegistryContractTest, TextOfAnyLengthIsReadWhole) {
  std::string text;
  for (int i = 0; text.size() < 100000; ++i) text += std::to_string(i) + ",";
  backend().SetRawValue(Path("k"), "seeded", kSz, text + '\0');
  ASSERT_TRUE(registry().OpenKey(Path("k"), false));
  EXPECT_EQ(registry().ReadString("seeded"), text);
  registry().WriteString("written", text);
  EXPECT_EQ(registry().ReadString("written"), text);
}

// ---- Writing ----

TEST_P(RegistryContractTest, WriteStringStoresText) {
  ASSERT_TRUE(registry().OpenKey(Path("k"), true));
  registry().WriteString("", "file://C:\\Forms\\Script\\E-mail.htm");
  registry().WriteString("empty", "");
  const auto def = backend().GetRawValue(Path("k"), "");
  ASSERT_TRUE(def);
  EXPECT_EQ(def->type, kSz);
  EXPECT_EQ(TextBeforeNul(def->bytes), "file://C:\\Forms\\Script\\E-mail.htm");
  EXPECT_TRUE(registry().ValueExists(""));
  EXPECT_EQ(registry().ReadString(""), "file://C:\\Forms\\Script\\E-mail.htm");
  EXPECT_TRUE(registry().ValueExists("empty"));
  EXPECT_EQ(registry().ReadString("empty"), "");
  EXPECT_EQ(backend().GetRawValue(Path("k"), "empty")->type, kSz);
}

TEST_P(RegistryContractTest, WrittenTextEndsAtItsFirstNul) {
  ASSERT_TRUE(registry().OpenKey(Path("k"), true));
  registry().WriteString("v", std::string("ab\0cd", 5));
  EXPECT_EQ(registry().ReadString("v"), "ab");
}

TEST_P(RegistryContractTest, WriteIntegerStoresALittleEndianDword) {
  ASSERT_TRUE(registry().OpenKey(Path("k"), true));
  registry().WriteInteger("Contexts", 4);
  registry().WriteInteger("Big", 0x12345678u);
  const auto contexts = backend().GetRawValue(Path("k"), "Contexts");
  ASSERT_TRUE(contexts);
  EXPECT_EQ(contexts->type, kDword);
  EXPECT_EQ(contexts->bytes, std::string("\x04\0\0\0", 4));
  EXPECT_EQ(backend().GetRawValue(Path("k"), "Big")->bytes, "\x78\x56\x34\x12");
  EXPECT_EQ(ErrorText([&] { registry().ReadString("Contexts"); }),
            "Invalid data type for 'Contexts'");
}

TEST_P(RegistryContractTest, WritesReplaceAValueOfAnotherType) {
  backend().SetRawValue(Path("k"), "v", kBinary, "\x01\x02\x03");
  ASSERT_TRUE(registry().OpenKey(Path("k"), false));
  registry().WriteString("V", "text");
  EXPECT_EQ(backend().GetRawValue(Path("k"), "v")->type, kSz);
  EXPECT_EQ(registry().ReadString("v"), "text");
  registry().WriteInteger("v", 1);
  EXPECT_EQ(backend().GetRawValue(Path("k"), "v")->type, kDword);
}

TEST_P(RegistryContractTest, WritesWithoutAnOpenKeyAreRefused) {
  EXPECT_EQ(ErrorText([&] { registry().WriteString("Tavro", "x"); }),
            "Failed to set data for 'Tavro'");
  EXPECT_EQ(ErrorText([&] { registry().WriteString("", "x"); }),
            "Failed to set data for ''");
  EXPECT_EQ(ErrorText([&] { registry().WriteInteger("Contexts", 4); }),
            "Failed to set data for 'Contexts'");
  ASSERT_TRUE(registry().OpenKey(root_, false));
  registry().CloseKey();
  EXPECT_EQ(ErrorText([&] { registry().WriteString("v", "x"); }),
            "Failed to set data for 'v'");
}

// ---- Deleting ----

TEST_P(RegistryContractTest, DeleteRemovesTheKeyWithAllItsSubkeys) {
  backend().SetRawValue(Path("gone"), "Tavro", kSz, "x");
  backend().SetRawValue(Path("gone\\a\\b\\c"), "deep", kSz, "x");
  backend().CreateKey(Path("gone\\a\\b2"));
  backend().CreateKey(Path("gone\\z"));
  backend().SetRawValue(Path("gone2"), "v", kSz, "x");
  backend().CreateKey(Path("sibling\\child"));

  EXPECT_TRUE(registry().DeleteKey(Path("gone")));
  EXPECT_FALSE(backend().KeyExists(Path("gone")));
  EXPECT_FALSE(backend().KeyExists(Path("gone\\a")));
  EXPECT_TRUE(backend().KeyExists(Path("gone2")));
  EXPECT_TRUE(backend().KeyExists(Path("sibling\\child")));
  ASSERT_TRUE(registry().OpenKey(root_, false));
  EXPECT_THAT(registry().GetKeyNames(), ElementsAre("gone2", "sibling"));
}

TEST_P(RegistryContractTest, DeleteFindsTheKeyWithoutRegardToCase) {
  backend().CreateKey(Path("Gone\\child"));
  EXPECT_TRUE(registry().DeleteKey(Path("gONE\\")));
  EXPECT_FALSE(backend().KeyExists(Path("Gone")));
}

TEST_P(RegistryContractTest, DeletingAMissingKeyReportsFailureAndKeepsAll) {
  backend().CreateKey(Path("kept"));
  EXPECT_FALSE(registry().DeleteKey(Path("missing")));
  EXPECT_FALSE(registry().DeleteKey(Path("missing\\deeper")));
  EXPECT_TRUE(backend().KeyExists(Path("kept")));
}

TEST_P(RegistryContractTest, DeletesAValueOfTheOpenKeyOnly) {
  backend().SetRawValue(Path("k"), "Gone", kSz, "x");
  backend().SetRawValue(Path("k"), "kept", kSz, "y");
  EXPECT_FALSE(registry().DeleteValue("Gone"));  // no key open
  ASSERT_TRUE(registry().OpenKey(Path("k"), false));
  EXPECT_TRUE(registry().DeleteValue("gONE"));
  EXPECT_FALSE(registry().DeleteValue("Gone"));
  EXPECT_FALSE(backend().GetRawValue(Path("k"), "Gone"));
  EXPECT_TRUE(backend().GetRawValue(Path("k"), "kept"));
}

TEST_P(RegistryContractTest, AnOpenKeyThatIsDeletedActsAsNoneOpen) {
  backend().SetRawValue(Path("k"), "v", kSz, "x");
  backend().CreateKey(Path("k\\child"));
  ASSERT_TRUE(registry().OpenKey(Path("k"), false));
  ASSERT_TRUE(registry().DeleteKey(Path("k")));
  EXPECT_FALSE(registry().ValueExists("v"));
  EXPECT_EQ(registry().ReadString("v"), "");
  EXPECT_THAT(registry().GetKeyNames(), IsEmpty());
  EXPECT_EQ(ErrorText([&] { registry().WriteString("v", "y"); }),
            "Failed to set data for 'v'");
  EXPECT_FALSE(backend().KeyExists(Path("k")));
}

}  // namespace
}  // namespace tavro::test
