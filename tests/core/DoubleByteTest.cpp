// Text in double-byte code pages: the second byte of a character may be a
// backslash, "|" or a letter, and must never be taken for one.
#include <gtest/gtest.h>

#include "CodePages.h"
#include "Language.h"
#include "LineBreaks.h"
#include "MemoryFileSystem.h"
#include "MemoryRegistry.h"
#include "Paths.h"
#include "Registration.h"
#include "Text.h"

namespace tavro {
namespace {

// Shift JIS: 表 and ソ end in a backslash, ポ in "|"; GBK: 錦 ends in one.
const std::string kHyo = "\x95\x5c";
const std::string kSo = "\x83\x5c";
const std::string kPo = "\x83\x7c";
const std::string kKin = "\xe5\x5c";

TEST(DoubleByteTest, CutsKeepWholeCharacters) {
  ScopedCodePage japanese(IsLeadByte932);
  const std::string text = std::string(254, 'a') + kHyo + "b";
  EXPECT_EQ(CutToBuffer(text), std::string(254, 'a'));
  EXPECT_EQ(CutToBuffer(std::string(253, 'a') + kHyo + "b"),
            std::string(253, 'a') + kHyo);
  EXPECT_EQ(WholePrefix(kHyo + kSo, 3), kHyo);
  // A lone lead byte at the end is one character.
  EXPECT_EQ(WholePrefix("ab\x95", 3), "ab\x95");
  EXPECT_EQ(Abbreviated("C:\\" + kHyo + kHyo + "\\file", 10), "C:...\\file");
  // Byte by byte, the end would start with 表's second byte, a backslash.
  EXPECT_EQ(Abbreviated("abcde" + kHyo + "gh", 7), "a...gh");
  EXPECT_EQ(Abbreviated("short", 5), "short");

  ScopedCodePage western(nullptr);  // single-byte: every byte counts
  EXPECT_EQ(CutToBuffer(text), text.substr(0, 255));
}

TEST(DoubleByteTest, LineBreaksAreFoundOnlyWhereCharactersStart) {
  ScopedCodePage japanese(IsLeadByte932);
  // 表 then "r\n": its second byte and "r\n" spell "\r\n" byte by byte.
  const std::string tricky = kHyo + "r\\nX";
  EXPECT_EQ(DecodeLineBreaks(tricky), tricky);
  const std::string content = kHyo + "\r\n" + kSo + "\\r\\n";
  EXPECT_EQ(EncodeLineBreaks(content), kHyo + "\\r\\n" + kSo + "\\r\\n");
  EXPECT_EQ(DecodeLineBreaks(kHyo + "\\r\\n" + kSo), kHyo + "\r\n" + kSo);
}

TEST(DoubleByteTest, NamesKeepTheirCharacters) {
  ScopedCodePage chinese(IsLeadByte936);
  EXPECT_EQ(MenuKeyName(3, kKin + "a\\b", 255), "03." + kKin + "a/b");
  EXPECT_EQ(MenuKeyName(3, "ab" + kKin, 6), "03.ab");
  EXPECT_EQ(ScriptPath("C:\\W", kKin + "|" + kKin).substr(0, 12 + 3),
            "C:\\W\\Script\\" + kKin + "_");
  EXPECT_EQ(ScriptPath("C:\\W", kKin + kKin),
            "C:\\W\\Script\\" + kKin + kKin + ".htm");
  // Letters that are second bytes are no letters: no case folding.
  EXPECT_FALSE(SameTextIgnoringCase("\x81\x41", "\x81\x61"));
  EXPECT_TRUE(SameTextIgnoringCase(kKin + "Ab", kKin + "aB"));

  ScopedCodePage japanese(IsLeadByte932);
  EXPECT_EQ(ScriptPath("C:\\W", kPo + kSo),
            "C:\\W\\Script\\" + kPo + kSo + ".htm");
}

// The fakes split paths where the system does: after the conversion to
// characters, so a second byte 0x5C is no separator.
TEST(DoubleByteTest, FakesSplitPathsAtRealSeparatorsOnly) {
  ScopedCodePage japanese(IsLeadByte932);
  MemoryFileSystem files;
  files.AddFolder("C:\\W");
  files.WriteFile("C:\\W\\" + kHyo + kPo + ".htm", "x");
  EXPECT_TRUE(files.FileExists("C:\\W\\" + kHyo + kPo + ".htm"));
  files.WriteFile("C:\\W\\" + kHyo + kSo, "y");  // a name ending in 0x5C
  EXPECT_EQ(files.ListFiles(),
            (std::vector<std::string>{"C:\\W\\" + kHyo + kSo,
                                      "C:\\W\\" + kHyo + kPo + ".htm"}));

  MemoryRegistry registry;
  ASSERT_TRUE(
      registry.Open("\\Software\\" + kSo + "\\", Registry::Mode::Create));
  EXPECT_TRUE(registry.KeyExists("\\Software\\" + kSo));
  EXPECT_FALSE(registry.KeyExists("\\Software\\\x83"));
}

}  // namespace
}  // namespace tavro
