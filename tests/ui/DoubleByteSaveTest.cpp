// A save in a double-byte code page, on the real registry, files and list
// view. Run by tests/e2e/double_byte.sh in a Japanese (932) or Simplified
// Chinese (936) Wine prefix, which then runs the fill scripts in node, read
// as the browser reads them.
#include <gtest/gtest.h>

#include <fstream>

#include "Entries.h"
#include "FillScript.h"
#include "LineBreaks.h"
#include "UiHarness.h"
#include "resource.h"

namespace tavro::test {
namespace {

// Characters whose second byte is a backslash or "|", in both code pages.
std::vector<TSection> Entries(UINT codePage) {
  if (codePage == 932)
    return {{"\x95\x5c\x8e\xa6", "\x95\x5c\r\n\x94\x5c\x97\xcd \"q\""},
            {"\x83\x5c\x83\x74\x83\x67", "\x83\x5c\\ back\\slash"},
            {"\x83\x7c\x8f\x5c", "\x8f\x5c\\"}};
  return {{"\xe5\x5c\xdf\x5c", "\xe5\x5c\r\n\xdf\x5c \"q\""},
          {"\xd5\x5c\xfc\x5c", "\xd5\x5c\\ back\\slash"},
          {"\x81\x7c\xd6\xd0", "\xfc\x5c\\"}};
}

std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  return hex;
}

TEST_F(MainFormTest, DoubleByteEntriesKeepEveryByte) {
  const UINT codePage = GetACP();
  ASSERT_TRUE(codePage == 932 || codePage == 936) << "code page " << codePage;
  const std::vector<TSection> entries = Entries(codePage);
  std::vector<std::string> titles;
  for (const TSection& entry : entries) titles.push_back(entry.Title);

  Open();
  Model().Refill(entries);
  Click("SaveBtn");
  std::string backup = "[User]\r\n";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const TSection& entry = entries[i];
    const std::string subkey = "0" + std::to_string(i) + "." + entry.Title;
    EXPECT_EQ(key.Marker(subkey), EncodeLineBreaks(entry.Content)) << subkey;
    EXPECT_EQ(work.Read("Script\\" + entry.Title + ".htm"),
              FillScriptText(entry.Content))
        << Hex(entry.Title);
    backup += std::to_string(i) + ".Title=" + entry.Title + "\r\n" +
              std::to_string(i) +
              ".Content=" + EncodeLineBreaks(entry.Content) + "\r\n";
  }
  EXPECT_EQ(key.Subkeys().size(), entries.size());
  EXPECT_EQ(work.Read("BackUp.ifm"), backup);

  Open();  // a restart reads the registry back
  EXPECT_EQ(Captions(), titles);
  for (std::size_t i = 0; i < entries.size(); ++i)
    EXPECT_EQ(Rows().SubItems(static_cast<int>(i)),
              std::vector<std::string>{entries[i].Content});
  Command(ui::CommandId("LoadItem"));
  EXPECT_EQ(Captions(), titles);
  EXPECT_EQ(Model().Sections(), entries);
  EXPECT_TRUE(Boxes().empty());

  // The scripts go to node, with what each must type.
  if (const char* exportDir = getenv("TAVRO_EXPORT_DIR")) {
    std::ofstream manifest(std::string(exportDir) + "\\manifest.txt",
                           std::ios::binary);
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const std::string name = "entry" + std::to_string(i) + ".htm";
      std::ofstream(std::string(exportDir) + "\\" + name, std::ios::binary)
          << work.Read("Script\\" + entries[i].Title + ".htm");
      manifest << name << "\ttext\t=" << Hex(entries[i].Content) << "\n";
    }
  }
}

}  // namespace
}  // namespace tavro::test
