// The menu registration end to end on each registry backend, under a scratch
// key in place of the browser's menu key.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ErrorText.h"
#include "Errors.h"
#include "LineBreaks.h"
#include "Registration.h"
#include "RegistryBackend.h"

namespace tavro {
// Readable failures instead of byte dumps.
static void PrintTo(const TSection& entry, std::ostream* os) {
  *os << "{\"" << entry.Title << "\", \"" << entry.Content << "\"}";
}

namespace test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<TTempSec> Encoded(const std::vector<TSection>& entries) {
  std::vector<TTempSec> records;
  for (const TSection& entry : entries)
    records.push_back({entry.Title, EncodeLineBreaks(entry.Content)});
  return records;
}

TEST_P(RegistrationIntegrationTest, RewriteInstallsOneMarkedSubkeyPerRecord) {
  MenuRegistration menu(registry(), MenuPath());
  const std::vector<TSection> entries = {
      {"E-mail", "line one\r\nline two\r\n"},
      {"a.b", "x"},
      {"Dup", "first"},
      {"Dup", "second"},
      {"Caf\xe9 <&>", ""},
  };
  Rewrite(menu, Encoded(entries), "C:\\Forms");

  EXPECT_THAT(MenuNames(), ElementsAre("00.E-mail", "01.a.b", "02.Dup",
                                       "03.Dup", "04.Caf\xe9 <&>"));
  const auto marker = MenuValue("00.E-mail", kMarkerValue);
  ASSERT_TRUE(marker);
  EXPECT_EQ(marker->type, kSz);
  EXPECT_EQ(TextBeforeNul(marker->bytes), "line one\\r\\nline two\\r\\n");
  const auto contexts = MenuValue("00.E-mail", "Contexts");
  ASSERT_TRUE(contexts);
  EXPECT_EQ(contexts->type, kDword);
  EXPECT_EQ(contexts->bytes, std::string("\x04\0\0\0", 4));
  // Each entry of the same Title names a script of its own.
  for (const auto& [name, path] :
       {std::pair{"02.Dup", "file://C:\\Forms\\Script\\Dup.htm"},
        std::pair{"03.Dup", "file://C:\\Forms\\Script\\Dup~2.htm"}}) {
    const auto script = MenuValue(name, "");
    ASSERT_TRUE(script) << name;
    EXPECT_EQ(script->type, kSz);
    EXPECT_EQ(TextBeforeNul(script->bytes), path);
  }

  const MenuRegistration::ReadResult read = menu.Read();
  EXPECT_EQ(read.entries, entries);
  EXPECT_FALSE(read.error);
}

TEST_P(RegistrationIntegrationTest, MoreThanAHundredEntriesComeBackInOrder) {
  std::vector<TSection> entries;
  for (int i = 0; i < 112; ++i)
    entries.push_back({"T" + std::to_string(i), std::to_string(i)});
  MenuRegistration menu(registry(), MenuPath());
  Rewrite(menu, Encoded(entries));

  // The registry itself lists 100 between 10 and 11.
  const std::vector<std::string> names = MenuNames();
  ASSERT_EQ(names.size(), entries.size());
  EXPECT_EQ(names[10], "10.T10");
  EXPECT_EQ(names[11], "100.T100");
  EXPECT_EQ(menu.Read().entries, entries);
}

TEST_P(RegistrationIntegrationTest, ReadCreatesAMissingMenuKey) {
  MenuRegistration menu(registry(), MenuPath());
  EXPECT_FALSE(backend().KeyExists(MenuPath("")));
  const MenuRegistration::ReadResult read = menu.Read();
  EXPECT_THAT(read.entries, IsEmpty());
  EXPECT_FALSE(read.error);
  EXPECT_TRUE(backend().KeyExists(MenuPath("")));
}

// The browser host, and a start where the menu key is locked, only read.
TEST_P(RegistrationIntegrationTest, AKeyTheUserMayOnlyReadGivesItsEntries) {
  MenuRegistration menu(registry(), MenuPath());
  const std::vector<TSection> entries = {{"A", "a"}, {"B", "b\r\nc"}};
  Rewrite(menu, Encoded(entries));
  for (const char* name : {"", "00.A", "01.B"})
    if (!backend().DenyWrites(MenuPath(name)))
      GTEST_SKIP() << "this registry does not hold to key security";
  ASSERT_FALSE(registry().Open(MenuPath(), Registry::Mode::Write));

  EXPECT_EQ(menu.Read().entries, entries);
  EXPECT_EQ(menu.Read(false).entries, entries);
  EXPECT_FALSE(menu.Read().error);
}

TEST_P(RegistrationIntegrationTest, ReadSkipsForeignSubkeys) {
  MenuRegistration menu(registry(), MenuPath());
  backend().SetRawValue(MenuPath("00.Foreign"), "", kSz, "res://x");
  backend().SetRawValue(MenuPath("01.Ours"), kMarkerValue, kSz,
                        std::string("a\\r\\nb\0", 7));
  EXPECT_EQ(menu.Read().entries, (std::vector<TSection>{{"Ours", "a\r\nb"}}));
}

TEST_P(RegistrationIntegrationTest, PurgeRemovesOnlyMarkedSubkeys) {
  MenuRegistration menu(registry(), MenuPath());
  backend().SetRawValue(MenuPath("Foreign"), "", kSz, "res://x");
  backend().SetRawValue(MenuPath("Foreign\\Child"), "v", kSz, "x");
  backend().SetRawValue(MenuPath("05.Old"), kMarkerValue, kSz, "old");
  backend().SetRawValue(MenuPath("05.Old\\Sub\\Deeper"), "v", kSz, "x");
  // The marker counts whatever its type.
  backend().SetRawValue(MenuPath("07.Dword"), "tavro", kDword,
                        std::string(4, '\0'));

  menu.Purge();

  EXPECT_THAT(MenuNames(), ElementsAre("Foreign"));
  EXPECT_TRUE(backend().KeyExists(MenuPath("Foreign\\Child")));
  EXPECT_TRUE(MenuValue("Foreign", ""));
}

TEST_P(RegistrationIntegrationTest, PurgeOfAMissingMenuKeyCreatesNothing) {
  MenuRegistration menu(registry(), MenuPath());
  menu.Purge();
  EXPECT_FALSE(backend().KeyExists(MenuPath("")));
}

TEST_P(RegistrationIntegrationTest, RewriteReplacesOldEntriesAndSparesOthers) {
  MenuRegistration menu(registry(), MenuPath());
  backend().SetRawValue(MenuPath("00.Old"), kMarkerValue, kSz, "old");
  backend().SetRawValue(MenuPath("01.Gone"), kMarkerValue, kSz, "gone");
  // Another program's key that bears a name Tavro is about to use.
  backend().SetRawValue(MenuPath("01.New"), "", kSz, "res://x");
  backend().SetRawValue(MenuPath("01.New"), "Contexts", kDword,
                        std::string("\x01\0\0\0", 4));
  backend().SetRawValue(MenuPath("Foreign"), "", kSz, "res://y");

  Rewrite(menu, {{"First", "1"}, {"New", "2"}});

  EXPECT_THAT(MenuNames(),
              ElementsAre("00.First", "01.New", "01.New (2)", "Foreign"));
  EXPECT_EQ(TextBeforeNul(MenuValue("01.New", "")->bytes), "res://x");
  EXPECT_EQ(MenuValue("01.New", "Contexts")->bytes,
            std::string("\x01\0\0\0", 4));
  EXPECT_EQ(TextBeforeNul(MenuValue("01.New (2)", "")->bytes),
            "file://C:\\W\\Script\\New.htm");
  EXPECT_EQ(menu.Read().entries,
            (std::vector<TSection>{{"First", "1"}, {"New", "2"}}));
}

TEST_P(RegistrationIntegrationTest, AMarkerThatIsNotTextGivesAnEmptyEntry) {
  MenuRegistration menu(registry(), MenuPath());
  backend().SetRawValue(MenuPath("00.A"), kMarkerValue, kSz,
                        std::string("a\0", 2));
  backend().SetRawValue(MenuPath("01.B"), kMarkerValue, kBinary, "\x01\x02");
  backend().SetRawValue(MenuPath("02.C"), kMarkerValue, kSz,
                        std::string("c\0", 2));

  const MenuRegistration::ReadResult read = menu.Read();
  EXPECT_EQ(read.entries,
            (std::vector<TSection>{{"A", "a"}, {"B", ""}, {"C", "c"}}));
  EXPECT_EQ(read.error, "Invalid data type for 'Tavro'");
}

// The registry cannot take these Titles as subkey names as they stand.
TEST_P(RegistrationIntegrationTest, TitlesNoKeyNameCanHoldComeBackWhole) {
  MenuRegistration menu(registry(), MenuPath());
  // 255 characters with its prefix, but the path would pass 260.
  const std::string longTitle(252, 'x');
  const std::vector<TSection> entries = {
      {"A", "a"}, {longTitle, "b"}, {"back\\slash", "c"}, {"D", "d"}};
  Rewrite(menu, Encoded(entries));

  const std::vector<std::string> names = MenuNames();
  ASSERT_EQ(names.size(), 4u);
  EXPECT_EQ(names[0], "00.A");
  EXPECT_EQ(names[1].substr(0, 6), "01.xxx");
  EXPECT_EQ(MenuPath(names[1]).size() - 1, 260u);
  EXPECT_EQ(names[2], "02.back/slash");
  EXPECT_EQ(names[3], "03.D");
  EXPECT_EQ(TextBeforeNul(MenuValue(names[1], kTitleValue)->bytes), longTitle);
  EXPECT_FALSE(MenuValue("00.A", kTitleValue));

  EXPECT_EQ(menu.Read().entries, entries);
  menu.Purge();
  EXPECT_THAT(MenuNames(), IsEmpty());
}

// Deleted and made again by another program while Tavro lists it: the
// start says so, and a save stops before writing its set beside the one
// that is there now.
TEST_P(RegistrationIntegrationTest, AMenuKeyReplacedWhileListedIsSaidAndKept) {
  MenuRegistration menu(registry(), MenuPath());
  Rewrite(menu, {{"A", "a"}, {"B", "b"}});
  const auto replace = [&] {
    registry().DeleteTree(MenuPath());
    backend().SetRawValue(MenuPath("00.Other"), kMarkerValue, kSz,
                          std::string("o\0", 2));
  };
  const std::string said =
      "The registry key HKEY_CURRENT_USER" + MenuPath() + " cannot be read";

  MeddledRegistry starting(registry(), MenuPath(), replace);
  const auto read = MenuRegistration(starting, MenuPath()).Read();
  EXPECT_THAT(read.entries, IsEmpty());
  EXPECT_EQ(read.error, said);

  MeddledRegistry saving(registry(), MenuPath(), replace);
  MenuRegistration racing(saving, MenuPath());
  EXPECT_EQ(ErrorCode([&] { Rewrite(racing, {{"New", "n"}}); }), kKeyDeleted);
  EXPECT_THAT(MenuNames(), ElementsAre("00.Other"));
  EXPECT_EQ(ErrorText([&] { racing.Purge(); }), "(no error)");
  EXPECT_THAT(MenuNames(), IsEmpty());
}

// Subkeys that go between the listing and their turn, as when another
// Tavro's Uninstall runs meanwhile: read as none, and no name kept free.
TEST_P(RegistrationIntegrationTest, SubkeysGoneSinceTheListingAreLeftOut) {
  MenuRegistration menu(registry(), MenuPath());
  Rewrite(menu, {{"A", "a"}, {"B", "b"}, {"C", "c"}});
  const auto removeB = [&] { registry().DeleteTree(MenuPath("01.B")); };

  // Opened, then deleted under the open key.
  MeddledRegistry starting(registry(), MenuPath("01.B"), removeB);
  EXPECT_EQ(MenuRegistration(starting, MenuPath()).Read().entries,
            (std::vector<TSection>{{"A", "a"}, {"C", "c"}}));

  Rewrite(menu, {{"A", "a"}, {"B", "b"}, {"C", "c"}});
  MeddledRegistry saving(registry(), MenuPath("00.A"), removeB);
  MenuRegistration racing(saving, MenuPath());
  Rewrite(racing, {{"X", "x"}, {"B", "b2"}});
  EXPECT_THAT(MenuNames(), ElementsAre("00.X", "01.B"));
  EXPECT_EQ(menu.Read().entries,
            (std::vector<TSection>{{"X", "x"}, {"B", "b2"}}));
}

TEST_P(RegistrationIntegrationTest, AMenuKeyTheUserMayNotOpenIsSaidAndKept) {
  MenuRegistration menu(registry(), MenuPath());
  Rewrite(menu, {{"A", "a"}});
  if (!backend().DenyAccess(MenuPath()))
    GTEST_SKIP() << "this registry does not hold to key security";
  const std::string said =
      "The registry key HKEY_CURRENT_USER" + MenuPath() + " cannot be read";
  for (const bool create : {true, false}) {
    const auto read = menu.Read(create);
    EXPECT_THAT(read.entries, IsEmpty());
    EXPECT_EQ(read.error, said);
  }
  const struct {
    std::string text;
    std::function<void()> change;
  } rows[] = {
      {said, [&] { menu.Purge(); }},
      {said,
       [&] {
         Rewrite(menu, {{"B", "b"}});
       }},
      {"Failed to set data for 'TavroSaving'",
       [&] { menu.BeginSave("C:\\W\\BackUp.ifm"); }},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ErrorText(row.change), row.text);
    EXPECT_EQ(ErrorCode(row.change), kAccessDenied) << row.text;
  }
  menu.EndSave();  // nothing to end
  EXPECT_TRUE(backend().KeyExists(MenuPath("00.A")));
  EXPECT_FALSE(backend().KeyExists(MenuPath("00.B")));
}

}  // namespace
}  // namespace test
}  // namespace tavro
