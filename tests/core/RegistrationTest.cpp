#include "Registration.h"

#include <gtest/gtest.h>

#include "MemoryRegistry.h"
#include "Paths.h"

namespace tavro {
namespace {

const std::string kKey = kMenuExtKey;
const std::string kFour("\x04\0\0\0", 4);

class RegistrationTest : public ::testing::Test {
 protected:
  void Set(const std::string& key, const std::string& name,
           const std::string& data, std::uint32_t type = MemoryRegistry::kSz) {
    registry.SetRawValue(kKey + key, name, type, data);
  }
  // Type and data of a value, "-" when it is missing.
  std::string Get(const std::string& key, const std::string& name) {
    auto raw = registry.GetRawValue(kKey + key, name);
    return raw ? std::to_string(raw->type) + ":" + raw->bytes : "-";
  }
  bool Has(const std::string& key) { return registry.KeyExists(kKey + key); }
  void Rewrite(const std::vector<TTempSec>& records) {
    std::vector<std::string> titles;
    for (const TTempSec& record : records) titles.push_back(record.Title);
    menu.Rewrite(records, ScriptPaths("C:\\Forms", titles));
  }

  MemoryRegistry registry;
  MenuRegistration menu{registry};
};

TEST(Registration, IndexPrefixes) {
  EXPECT_EQ(TwoDigits(0), "00");
  EXPECT_EQ(TwoDigits(9), "09");
  EXPECT_EQ(TwoDigits(10), "10");
  EXPECT_EQ(TwoDigits(100), "100");
  EXPECT_EQ(TitleFromKeyName("03.a.b"), "a.b");
  EXPECT_EQ(TitleFromKeyName("100.X"), "X");
  EXPECT_EQ(TitleFromKeyName("Plain"), "Plain");
  EXPECT_EQ(TitleFromKeyName("12"), "12");
  EXPECT_EQ(TitleFromKeyName("1a.x"), "1a.x");
}

TEST_F(RegistrationTest, MissingKeyIsCreatedByReadOnly) {
  menu.Purge();
  EXPECT_FALSE(Has(""));
  const MenuRegistration::ReadResult read = menu.Read();
  EXPECT_TRUE(read.entries.empty());
  EXPECT_FALSE(read.error);
  EXPECT_TRUE(Has(""));
}

TEST_F(RegistrationTest, ReadTakesMarkedSubkeysInIndexOrder) {
  Set("&Translate", "", "res://x");
  Set("02.Unmarked", "", "res://x");
  Set("Plain", kMarkerValue, "p");
  Set("03.a.b", kMarkerValue, "");
  Set("00.E-mail", kMarkerValue, "a\\r\\nb");
  Set("01.Dup", "tavro", "1");
  Set("10.Dup", kMarkerValue, "2");
  const MenuRegistration::ReadResult read = menu.Read();
  EXPECT_FALSE(read.error);
  EXPECT_EQ(read.entries, (std::vector<TSection>{{"E-mail", "a\r\nb"},
                                                 {"Dup", "1"},
                                                 {"a.b", ""},
                                                 {"Dup", "2"},
                                                 {"Plain", "p"}}));
  EXPECT_EQ(Get("02.Unmarked", ""), "1:res://x");
}

TEST_F(RegistrationTest, SavedOrderSurvivesMoreThanHundredEntries) {
  std::vector<TTempSec> records;
  for (int i = 0; i <= 101; ++i)
    records.push_back({"T" + std::to_string(i), std::to_string(i)});
  Rewrite(records);
  EXPECT_TRUE(Has("09.T9") && Has("10.T10") && Has("100.T100"));
  const MenuRegistration::ReadResult read = menu.Read();
  ASSERT_EQ(read.entries.size(), records.size());
  for (std::size_t i = 0; i < records.size(); ++i)
    EXPECT_EQ(read.entries[i].Title, records[i].Title);
}

TEST_F(RegistrationTest, MarkerThatIsNotTextGivesEmptyContentAndAnError) {
  Set("00.A", kMarkerValue, "a");
  Set("01.Bin", kMarkerValue, "\x01\x02", MemoryRegistry::kBinary);
  Set("02.Num", kMarkerValue, kFour, MemoryRegistry::kDword);
  Set("03.C", kMarkerValue, "c");
  const MenuRegistration::ReadResult read = menu.Read();
  EXPECT_EQ(read.entries,
            (std::vector<TSection>{
                {"A", "a"}, {"Bin", ""}, {"Num", ""}, {"C", "c"}}));
  EXPECT_EQ(read.error, "Invalid data type for 'Tavro'");
}

TEST_F(RegistrationTest, PurgeRemovesMarkedSubkeysWithTheirChildren) {
  Set("00.A", kMarkerValue, "a");
  Set("00.A\\Nested\\Deep", "v", "x");
  Set("01.Bin", kMarkerValue, "", MemoryRegistry::kBinary);
  Set("Other", "", "res://x");
  Set("Other\\Sub", kMarkerValue, "a nested marker is not ours");
  menu.Purge();
  EXPECT_FALSE(Has("00.A"));
  EXPECT_FALSE(Has("01.Bin"));
  EXPECT_EQ(Get("Other", ""), "1:res://x");
  EXPECT_TRUE(Has("Other\\Sub"));
}

TEST_F(RegistrationTest, RewriteReplacesMarkedSubkeysOnly) {
  Set("00.Old", kMarkerValue, "o");
  Set("Foreign", "", "res://x");
  Set("01.E-mail", "", "file://elsewhere");  // another program's, in the way
  Set("01.E-mail", "Contexts", std::string("\x01\0\0\0", 4),
      MemoryRegistry::kDword);
  Rewrite({{"E-mail", "a\\r\\nb"}, {"E-mail", "x"}});

  EXPECT_FALSE(Has("00.Old"));
  EXPECT_EQ(Get("Foreign", ""), "1:res://x");
  EXPECT_EQ(Get("00.E-mail", ""), "1:file://C:\\Forms\\Script\\E-mail.htm");
  EXPECT_EQ(Get("01.E-mail (2)", ""),
            "1:file://C:\\Forms\\Script\\E-mail~2.htm");
  for (const char* key : {"00.E-mail", "01.E-mail (2)"})
    EXPECT_EQ(Get(key, "Contexts"), "4:" + kFour);
  EXPECT_EQ(Get("00.E-mail", kMarkerValue), "1:a\\r\\nb");
  EXPECT_EQ(Get("01.E-mail (2)", kMarkerValue), "1:x");
  // The other program's key is as it was, and stays after an Uninstall.
  EXPECT_EQ(Get("01.E-mail", ""), "1:file://elsewhere");
  EXPECT_EQ(menu.Read().entries,
            (std::vector<TSection>{{"E-mail", "a\r\nb"}, {"E-mail", "x"}}));
  menu.Purge();
  EXPECT_TRUE(Has("01.E-mail"));
  EXPECT_FALSE(Has("01.E-mail (2)"));
}

}  // namespace
}  // namespace tavro
