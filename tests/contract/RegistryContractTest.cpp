// What the program relies on from the registry, checked against every
// backend alike: the in-memory one must behave as the real one does.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "ErrorText.h"
#include "RegistryBackend.h"

namespace tavro::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Mode = Registry::Mode;

// The full path without its leading backslash, as the API functions see it.
std::size_t ApiPathLength(const std::string& path) { return path.size() - 1; }

// ---- Names and listing ----

TEST_P(RegistryContractTest, ListsSubkeysInAscendingOrderWithoutRegardToCase) {
  for (const char* name :
       {"B", "~x", "a", "11.y", "100.x", "10.b", "1", "09.c", "00.a"})
    backend().CreateKey(Path(name));
  EXPECT_THAT(Open(root_)->SubkeyNames(),
              ElementsAre("00.a", "09.c", "1", "10.b", "100.x", "11.y", "a",
                          "B", "~x"));
}

TEST_P(RegistryContractTest, ListsOnlyDirectSubkeys) {
  backend().CreateKey(Path("a\\b\\c"));
  backend().SetRawValue(Path("v"), "x", kSz, "1");
  EXPECT_THAT(Open(root_)->SubkeyNames(), ElementsAre("a", "v"));
  EXPECT_THAT(Open(Path("v"))->SubkeyNames(), IsEmpty());
}

TEST_P(RegistryContractTest, KeyNamesAreCaseBlindAndKeepTheirFirstSpelling) {
  Open(Path("MiXed"), Mode::Create)->WriteString("v", "first");
  EXPECT_EQ(Open(Path("MIXED"), Mode::Create)->ReadString("v"), "first");
  EXPECT_TRUE(registry().Open(Path("mixed"), Mode::Write));
  EXPECT_THAT(Open(root_)->SubkeyNames(), ElementsAre("MiXed"));
}

TEST_P(RegistryContractTest, ValueNamesAreCaseBlind) {
  const auto key = Open(root_, Mode::Write);
  key->WriteString("Marker", "one");
  EXPECT_TRUE(key->HasValue("MARKER"));
  EXPECT_EQ(key->ReadString("marker"), "one");
  key->WriteString("mARKER", "two");
  EXPECT_EQ(key->ReadString("Marker"), "two");
}

TEST_P(RegistryContractTest, KeepsNamesWithOddCharactersAsTheyAre) {
  const std::string name =
      "a b. \"q\" 'x' <>|?* Caf\xe9 \xff~!@#$%^&()[]{};,=+`";
  Open(Path(name), Mode::Create)->WriteString(name, "Caf\xe9 \x80\xff");

  EXPECT_THAT(Open(root_)->SubkeyNames(), ElementsAre(name));
  EXPECT_EQ(Open(Path(name))->ReadString(name), "Caf\xe9 \x80\xff");
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
  Open(longest, Mode::Create)->WriteString("v", "x");
  EXPECT_TRUE(registry().Open(longest, Mode::Write));
  EXPECT_TRUE(registry().Open(longest + "\\", Mode::Read));
  EXPECT_TRUE(backend().KeyExists(longest));
}

TEST_P(RegistryContractTest,
       LongerPathsFailWithTheSystemsCodeAndCreateNothing) {
  const std::size_t room = 260 - ApiPathLength(root_) - 1;
  const std::string tooLong = Path("parent\\" + std::string(room, 'k'));
  for (const Mode mode : {Mode::Create, Mode::Write, Mode::Read}) {
    const OpenedKey opened = registry().Open(tooLong, mode);
    EXPECT_FALSE(opened);
    EXPECT_EQ(opened.code, kPathTooLong);
  }
  EXPECT_THAT(Open(root_)->SubkeyNames(), IsEmpty());
}

// ---- Opening ----

TEST_P(RegistryContractTest, OpeningAMissingKeyFailsAsNotFound) {
  for (const Mode mode : {Mode::Read, Mode::Write})
    for (const char* path : {"missing", "missing\\deeper"}) {
      const OpenedKey opened = registry().Open(Path(path), mode);
      EXPECT_FALSE(opened) << path;
      EXPECT_EQ(opened.code, kNotFound) << path;
    }
  EXPECT_FALSE(backend().KeyExists(Path("missing")));
}

TEST_P(RegistryContractTest, CreationMakesEveryMissingKeyOnThePath) {
  Open(Path("a\\b\\c"), Mode::Create)->WriteString("v", "in c");
  EXPECT_TRUE(backend().KeyExists(Path("a")));
  EXPECT_TRUE(backend().KeyExists(Path("a\\b")));
  EXPECT_EQ(TextBeforeNul(backend().GetRawValue(Path("a\\b\\c"), "v")->bytes),
            "in c");
  EXPECT_FALSE(backend().GetRawValue(Path("a\\b"), "v"));
}

TEST_P(RegistryContractTest, CreationKeepsAnExistingKeyAsItIs) {
  backend().SetRawValue(Path("k"), "v", kSz, std::string("old\0", 4));
  backend().CreateKey(Path("k\\child"));
  const auto key = Open(Path("k"), Mode::Create);
  EXPECT_EQ(key->ReadString("v"), "old");
  EXPECT_THAT(key->SubkeyNames(), ElementsAre("child"));
}

TEST_P(RegistryContractTest, PathsMayEndInABackslash) {
  Open(Path("k\\"), Mode::Create)->WriteString("v", "x");
  EXPECT_TRUE(backend().KeyExists(Path("k")));
  EXPECT_THAT(Open(root_ + "\\")->SubkeyNames(), ElementsAre("k"));
}

TEST_P(RegistryContractTest, KeysOpenTogetherEachWorkOnTheirOwn) {
  backend().SetRawValue(Path("a"), "only in a", kSz, "a");
  const auto a = Open(Path("a"), Mode::Write);
  const auto b = Open(Path("b"), Mode::Create);
  EXPECT_FALSE(registry().Open(Path("missing"), Mode::Write));
  EXPECT_FALSE(b->HasValue("only in a"));
  EXPECT_TRUE(a->HasValue("only in a"));
  b->WriteString("w", "b");
  a->WriteString("w", "a");
  EXPECT_EQ(TextBeforeNul(backend().GetRawValue(Path("b"), "w")->bytes), "b");
  EXPECT_EQ(TextBeforeNul(backend().GetRawValue(Path("a"), "w")->bytes), "a");
}

TEST_P(RegistryContractTest, AKeyOpenedToReadRefusesEveryChange) {
  backend().SetRawValue(Path("k"), "v", kSz, std::string("old\0", 4));
  backend().CreateKey(Path("k\\child"));
  const OpenedKey missing = registry().Open(Path("missing"), Mode::Read);
  EXPECT_EQ(missing.code, kNotFound);
  EXPECT_FALSE(backend().KeyExists(Path("missing")));
  const auto key = Open(Path("k\\"), Mode::Read);
  EXPECT_EQ(key->ReadString("v"), "old");
  EXPECT_THAT(key->SubkeyNames(), ElementsAre("child"));

  const struct {
    const char* text;
    std::function<void()> change;
  } rows[] = {
      {"Failed to set data for 'v'", [&] { key->WriteString("v", "new"); }},
      {"Failed to set data for 'n'", [&] { key->WriteInteger("n", 1); }},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ErrorText(row.change), row.text);
    EXPECT_EQ(ErrorCode(row.change), kAccessDenied) << row.text;
  }
  EXPECT_EQ(key->DeleteValue("v"), kAccessDenied);
  EXPECT_EQ(key->ReadString("v"), "old");
  Open(Path("k"), Mode::Write)->WriteString("v", "new");
  EXPECT_EQ(key->ReadString("v"), "new");
}

TEST_P(RegistryContractTest, AKeyTheUserMayOnlyReadOpensOnlyToRead) {
  backend().SetRawValue(Path("k"), "v", kSz, std::string("x\0", 2));
  if (!backend().DenyWrites(Path("k")))
    GTEST_SKIP() << "this registry does not hold to key security";
  // Windows refuses a subkey made below it and its deletion too, which
  // Wine allows: those are left out.
  for (const Mode mode : {Mode::Write, Mode::Create}) {
    const OpenedKey opened = registry().Open(Path("k"), mode);
    EXPECT_FALSE(opened);
    EXPECT_EQ(opened.code, kAccessDenied);
  }
  EXPECT_EQ(Open(Path("k"))->ReadString("v"), "x");
}

// ---- Reading ----

TEST_P(RegistryContractTest, HasValueForEveryTypeAndOnlyInItsKey) {
  backend().SetRawValue(Path("k"), "sz", kSz, std::string("x\0", 2));
  backend().SetRawValue(Path("k"), "dword", kDword, std::string(4, '\0'));
  backend().SetRawValue(Path("k"), "binary", kBinary, "\x01");
  backend().SetRawValue(Path("k"), "none", kNone, "");
  backend().CreateKey(Path("k\\child"));
  const auto key = Open(Path("k"));
  for (const char* name : {"sz", "dword", "binary", "none"})
    EXPECT_TRUE(key->HasValue(name)) << name;
  EXPECT_FALSE(key->HasValue("missing"));
  EXPECT_FALSE(key->HasValue(""));
  EXPECT_FALSE(Open(Path("k\\child"))->HasValue("sz"));
}

TEST_P(RegistryContractTest, MissingValuesReadAsEmptyText) {
  const auto key = Open(root_);
  EXPECT_EQ(key->ReadString("v"), "");
  EXPECT_EQ(key->ReadString(""), "");
}

TEST_P(RegistryContractTest, ValuesWithoutDataReadAsEmptyTextWhateverTheType) {
  for (std::uint32_t type : {kSz, kExpandSz, kBinary, kDword, kNone})
    backend().SetRawValue(Path("k"), "t" + std::to_string(type), type, "");
  const auto key = Open(Path("k"));
  for (std::uint32_t type : {kSz, kExpandSz, kBinary, kDword, kNone}) {
    const std::string name = "t" + std::to_string(type);
    EXPECT_TRUE(key->HasValue(name)) << name;
    EXPECT_EQ(ErrorText([&] { EXPECT_EQ(key->ReadString(name), ""); }),
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
  const auto key = Open(Path("k"));
  for (const char* name : {"Binary", "Dword", "Multi", "None"}) {
    EXPECT_EQ(ErrorText([&] { key->ReadString(name); }),
              std::string("Invalid data type for '") + name + "'");
    // Tested first, as the start-up read does: the same answer.
    EXPECT_TRUE(key->HasValue(name));
    EXPECT_EQ(ErrorText([&] { key->ReadString(name); }),
              std::string("Invalid data type for '") + name + "'");
  }
  // The text names the value as the caller spelled it.
  EXPECT_EQ(ErrorText([&] { key->ReadString("bINARY"); }),
            "Invalid data type for 'bINARY'");
}

TEST_P(RegistryContractTest, TextEndsAtTheFirstNul) {
  backend().SetRawValue(Path("k"), "inner", kSz, std::string("ab\0cd\0", 6));
  backend().SetRawValue(Path("k"), "unterminated", kSz, "abc");
  backend().SetRawValue(Path("k"), "nul only", kSz, std::string(1, '\0'));
  const auto key = Open(Path("k"));
  EXPECT_EQ(key->ReadString("inner"), "ab");
  EXPECT_EQ(key->ReadString("unterminated"), "abc");
  EXPECT_EQ(key->ReadString("nul only"), "");
}

// A value tested and then read is the value as it is at the read.
TEST_P(RegistryContractTest, AReadAfterAChangeSeesTheChange) {
  const auto key = Open(Path("k"), Mode::Create);
  key->WriteString("v", "one");
  ASSERT_TRUE(key->HasValue("v"));
  key->WriteString("v", "two");
  EXPECT_EQ(key->ReadString("v"), "two");
  ASSERT_TRUE(key->HasValue("v"));
  EXPECT_EQ(key->DeleteValue("v"), kRegistryOk);
  EXPECT_EQ(key->ReadString("v"), "");
  key->WriteString("v", "three");
  ASSERT_TRUE(key->HasValue("v"));
  key->WriteInteger("v", 1);
  EXPECT_EQ(ErrorText([&] { key->ReadString("v"); }),
            "Invalid data type for 'v'");
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
  const auto key = Open(Path("k"));
  for (const auto& row : rows)
    EXPECT_EQ(key->ReadShortString(row.name, 4), row.read) << row.name;
  EXPECT_EQ(key->ReadShortString("missing", 4), std::nullopt);
}

TEST_P(RegistryContractTest, ExpandableTextIsReadUnexpanded) {
  backend().SetRawValue(Path("k"), "e", kExpandSz,
                        std::string("%SystemRoot%\\x\0", 15));
  EXPECT_EQ(Open(Path("k"))->ReadString("e"), "%SystemRoot%\\x");
}

TEST_P(RegistryContractTest, TextOfAnyLengthIsReadWhole) {
  std::string text;
  for (int i = 0; text.size() < 100000; ++i) text += std::to_string(i) + ",";
  backend().SetRawValue(Path("k"), "seeded", kSz, text + '\0');
  const auto key = Open(Path("k"), Mode::Write);
  EXPECT_EQ(key->ReadString("seeded"), text);
  key->WriteString("written", text);
  EXPECT_EQ(key->ReadString("written"), text);
}

// ---- Writing ----

TEST_P(RegistryContractTest, WriteStringStoresText) {
  const auto key = Open(Path("k"), Mode::Create);
  key->WriteString("", "file://C:\\Forms\\Script\\E-mail.htm");
  key->WriteString("empty", "");
  const auto def = backend().GetRawValue(Path("k"), "");
  ASSERT_TRUE(def);
  EXPECT_EQ(def->type, kSz);
  EXPECT_EQ(TextBeforeNul(def->bytes), "file://C:\\Forms\\Script\\E-mail.htm");
  EXPECT_TRUE(key->HasValue(""));
  EXPECT_EQ(key->ReadString(""), "file://C:\\Forms\\Script\\E-mail.htm");
  EXPECT_TRUE(key->HasValue("empty"));
  EXPECT_EQ(key->ReadString("empty"), "");
  EXPECT_EQ(backend().GetRawValue(Path("k"), "empty")->type, kSz);
}

TEST_P(RegistryContractTest, WrittenTextEndsAtItsFirstNul) {
  const auto key = Open(Path("k"), Mode::Create);
  key->WriteString("v", std::string("ab\0cd", 5));
  EXPECT_EQ(key->ReadString("v"), "ab");
}

TEST_P(RegistryContractTest, WriteIntegerStoresALittleEndianDword) {
  const auto key = Open(Path("k"), Mode::Create);
  key->WriteInteger("Contexts", 4);
  key->WriteInteger("Big", 0x12345678u);
  const auto contexts = backend().GetRawValue(Path("k"), "Contexts");
  ASSERT_TRUE(contexts);
  EXPECT_EQ(contexts->type, kDword);
  EXPECT_EQ(contexts->bytes, std::string("\x04\0\0\0", 4));
  EXPECT_EQ(backend().GetRawValue(Path("k"), "Big")->bytes, "\x78\x56\x34\x12");
  EXPECT_EQ(ErrorText([&] { key->ReadString("Contexts"); }),
            "Invalid data type for 'Contexts'");
}

TEST_P(RegistryContractTest, WritesReplaceAValueOfAnotherType) {
  backend().SetRawValue(Path("k"), "v", kBinary, "\x01\x02\x03");
  const auto key = Open(Path("k"), Mode::Write);
  key->WriteString("V", "text");
  EXPECT_EQ(backend().GetRawValue(Path("k"), "v")->type, kSz);
  EXPECT_EQ(key->ReadString("v"), "text");
  key->WriteInteger("v", 1);
  EXPECT_EQ(backend().GetRawValue(Path("k"), "v")->type, kDword);
}

// ---- Deleting ----

TEST_P(RegistryContractTest, DeleteTreeRemovesTheKeyWithAllItsSubkeys) {
  backend().SetRawValue(Path("gone"), "Tavro", kSz, "x");
  backend().SetRawValue(Path("gone\\a\\b\\c"), "deep", kSz, "x");
  backend().CreateKey(Path("gone\\a\\b2"));
  backend().CreateKey(Path("gone\\z"));
  backend().SetRawValue(Path("gone2"), "v", kSz, "x");
  backend().CreateKey(Path("sibling\\child"));

  EXPECT_EQ(registry().DeleteTree(Path("gone")), kRegistryOk);
  EXPECT_FALSE(backend().KeyExists(Path("gone")));
  EXPECT_FALSE(backend().KeyExists(Path("gone\\a")));
  EXPECT_TRUE(backend().KeyExists(Path("gone2")));
  EXPECT_TRUE(backend().KeyExists(Path("sibling\\child")));
  EXPECT_THAT(Open(root_)->SubkeyNames(), ElementsAre("gone2", "sibling"));
}

TEST_P(RegistryContractTest, DeleteTreeFindsTheKeyWithoutRegardToCase) {
  backend().CreateKey(Path("Gone\\child"));
  EXPECT_EQ(registry().DeleteTree(Path("gONE\\")), kRegistryOk);
  EXPECT_FALSE(backend().KeyExists(Path("Gone")));
}

TEST_P(RegistryContractTest, DeleteTreeOfNoKeyFailsAndKeepsAll) {
  backend().CreateKey(Path("kept"));
  const struct {
    std::string path;
    long code;
  } rows[] = {
      {Path("missing"), kNotFound},
      {Path("missing\\deeper"), kNotFound},
      // Never the whole hive.
      {"\\", kInvalidParameter},
      {"", kInvalidParameter},
  };
  for (const auto& row : rows)
    EXPECT_EQ(registry().DeleteTree(row.path), row.code) << row.path;
  EXPECT_TRUE(backend().KeyExists(Path("kept")));
}

TEST_P(RegistryContractTest, DeletesAValueOfItsOwnKeyOnly) {
  backend().SetRawValue(Path("k"), "Gone", kSz, "x");
  backend().SetRawValue(Path("k"), "kept", kSz, "y");
  backend().SetRawValue(Path("other"), "Gone", kSz, "x");
  const auto key = Open(Path("k"), Mode::Write);
  EXPECT_EQ(key->DeleteValue("gONE"), kRegistryOk);
  EXPECT_EQ(key->DeleteValue("Gone"), kNotFound);
  EXPECT_FALSE(backend().GetRawValue(Path("k"), "Gone"));
  EXPECT_TRUE(backend().GetRawValue(Path("k"), "kept"));
  EXPECT_TRUE(backend().GetRawValue(Path("other"), "Gone"));
}

// Deleted by anyone, as by Tools > Uninstall while the host reads: its
// values are gone, and a listing or a change fails, never lands elsewhere.
TEST_P(RegistryContractTest, AKeyWhoseKeyIsDeletedFailsItsCalls) {
  backend().SetRawValue(Path("k"), "v", kSz, std::string("x\0", 2));
  backend().SetRawValue(Path("k\\child"), "c", kSz, std::string("y\0", 2));
  const auto key = Open(Path("k"), Mode::Write);
  const auto child = Open(Path("k\\child"), Mode::Write);
  ASSERT_EQ(registry().DeleteTree(Path("k")), kRegistryOk);
  // Made again: another key at the same path.
  backend().SetRawValue(Path("k"), "v", kSz, std::string("new\0", 4));

  for (RegistryKey* gone : {key.get(), child.get()}) {
    EXPECT_FALSE(gone->HasValue("v"));
    EXPECT_FALSE(gone->HasValue("c"));
    EXPECT_EQ(gone->ReadString("v"), "");
    EXPECT_EQ(gone->ReadShortString("v", 10), std::nullopt);
    const struct {
      std::string text;
      std::function<void()> call;
    } rows[] = {
        {"The registry key HKEY_CURRENT_USER" + Path("k") + " cannot be read",
         [&] { gone->SubkeyNames(); }},
        {"Failed to set data for 'v'", [&] { gone->WriteString("v", "w"); }},
        {"Failed to set data for 'n'", [&] { gone->WriteInteger("n", 1); }},
    };
    for (const auto& row : rows) {
      EXPECT_EQ(ErrorCode(row.call), kKeyDeleted) << row.text;
      if (gone == key.get()) {
        EXPECT_EQ(ErrorText(row.call), row.text);
      }
    }
    EXPECT_EQ(gone->DeleteValue("v"), kKeyDeleted);
  }
  EXPECT_EQ(TextBeforeNul(backend().GetRawValue(Path("k"), "v")->bytes), "new");
  EXPECT_FALSE(backend().KeyExists(Path("k\\child")));
  EXPECT_EQ(Open(Path("k"))->ReadString("v"), "new");
}

TEST_P(RegistryContractTest, AKeyOpenedToReadIsRefusedBeforeItIsFoundGone) {
  backend().SetRawValue(Path("k"), "v", kSz, "x");
  const auto key = Open(Path("k"), Mode::Read);
  ASSERT_EQ(registry().DeleteTree(Path("k")), kRegistryOk);
  EXPECT_EQ(ErrorCode([&] { key->WriteString("v", "y"); }), kAccessDenied);
  EXPECT_EQ(key->DeleteValue("v"), kAccessDenied);
  EXPECT_EQ(ErrorCode([&] { key->SubkeyNames(); }), kKeyDeleted);
  EXPECT_FALSE(backend().KeyExists(Path("k")));
}

}  // namespace
}  // namespace tavro::test
