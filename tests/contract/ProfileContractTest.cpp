// What the program relies on from the profile functions, checked against
// every backend alike: the fake must leave the same bytes in a file as the
// real functions, and read the same values from it.
#include <gtest/gtest.h>

#include "Backup.h"
#include "ErrorText.h"
#include "FileBackend.h"

namespace tavro::test {
namespace {

TEST_P(ProfileContractTest, WritesOneCrLfLinePerKeyBelowItsSection) {
  Write("User", "0.Title", "E-mail");
  EXPECT_EQ(Bytes(), "[User]\r\n0.Title=E-mail\r\n");
  Write("User", "0.Content", "a\\r\\nb");
  Write("User", "1.Title", "Name");
  Write("User", "1.Content", "");
  EXPECT_EQ(Bytes(),
            "[User]\r\n0.Title=E-mail\r\n0.Content=a\\r\\nb\r\n"
            "1.Title=Name\r\n1.Content=\r\n");
  EXPECT_EQ(Read("User", "0.Content"), "a\\r\\nb");
  EXPECT_EQ(Read("User", "1.Content"), "");
}

TEST_P(ProfileContractTest, ReplacesKeysInPlaceAndAppendsToTheirSection) {
  Write("User", "0.Title", "a");
  Write("Other", "k", "v");
  Write("user", "0.TITLE", "a longer value");
  Write("USER", "1.Title", "b");
  Write("Other", "k", "w");
  EXPECT_EQ(Bytes(),
            "[User]\r\n0.Title=a longer value\r\n1.Title=b\r\n"
            "[Other]\r\nk=w\r\n");
}

TEST_P(ProfileContractTest,
       FindsSectionsAndKeysWithoutRegardToCaseOrOuterBlanks) {
  backend().Seed(file(), "[User]\r\n0.Title=x\r\n");
  EXPECT_EQ(Read("uSER", "0.tItLe"), "x");
  EXPECT_EQ(Read(" User\t", "  0.Title "), "x");
  EXPECT_EQ(Read("User", "0.Titl"), "<default>");
  EXPECT_EQ(Read("Use", "0.Title"), "<default>");
}

TEST_P(ProfileContractTest, GivesTheDefaultOnlyWhenThereIsNoValue) {
  EXPECT_EQ(Read("User", "0.Title"), "<default>");
  EXPECT_FALSE(Bytes());  // reading creates nothing
  backend().Seed(file(), "[User]\r\nempty=\r\nbare\r\n");
  EXPECT_EQ(Read("Missing", "empty"), "<default>");
  EXPECT_EQ(Read("User", "missing"), "<default>");
  EXPECT_EQ(Read("User", "empty"), "");
  EXPECT_EQ(Read("User", "bare"), "<default>");
  // The default itself loses trailing blanks and quotes, and is cut too.
  EXPECT_EQ(Read("User", "missing", "  d \t  "), "  d \t");
  EXPECT_EQ(Read("User", "missing", "\"d\""), "d");
  EXPECT_EQ(Read("User", "missing", "\n"), "\n");  // Load's end marker
  EXPECT_EQ(Read("User", "missing", std::string(3000, 'd')).size(),
            kProfileValueLimit);
}

TEST_P(ProfileContractTest,
       ReadingDropsOuterBlanksAndOneEnclosingPairOfQuotes) {
  backend().Seed(
      file(),
      "[User]\r\na=\t lead and trail \t\r\nb=\"  q  \"\r\nc='s'\r\n"
      "d=\"mixed'\r\ne=\"\r\nf=\"\"\r\ng=\"a\"b\"\r\nh=\x1a z\x1a\r\n"
      "i=  \"x\"  \r\n");
  EXPECT_EQ(Read("User", "a"), "lead and trail");
  EXPECT_EQ(Read("User", "b"), "  q  ");
  EXPECT_EQ(Read("User", "c"), "s");
  EXPECT_EQ(Read("User", "d"), "\"mixed'");
  EXPECT_EQ(Read("User", "e"), "\"");
  EXPECT_EQ(Read("User", "f"), "");
  EXPECT_EQ(Read("User", "g"), "a\"b");
  EXPECT_EQ(Read("User", "h"), "z");
  EXPECT_EQ(Read("User", "i"), "x");
}

TEST_P(ProfileContractTest,
       WritingDropsLeadingBlanksAndTheNextWriteTrailingOnes) {
  Write("User", "a", " \t lead");
  Write("User", "b", "trail  ");
  EXPECT_EQ(Bytes(), "[User]\r\na=lead\r\nb=trail  \r\n");
  EXPECT_EQ(Read("User", "b"), "trail");
  Write("User", "c", "  \"  q  \"");
  EXPECT_EQ(Bytes(), "[User]\r\na=lead\r\nb=trail\r\nc=\"  q  \"\r\n");
  EXPECT_EQ(Read("User", "c"), "  q  ");
}

TEST_P(ProfileContractTest, ALineBreakInAValueIsWrittenAsItIsAndEndsTheValue) {
  Write("User", "lf", "a\nb");
  EXPECT_EQ(Bytes(), "[User]\r\nlf=a\nb\r\n");
  EXPECT_EQ(Read("User", "lf"), "a");
  Write("User", "cr", "c\rd");
  EXPECT_EQ(Bytes(), "[User]\r\nlf=a\r\nb\r\ncr=c\rd\r\n");
  EXPECT_EQ(Read("User", "cr"), "c");
  EXPECT_EQ(Read("User", "b"), "<default>");
  Write("User", "crlf", "e\r\n[Other]\r\nf=g");
  EXPECT_EQ(Read("Other", "f"), "g");
  Write("Other", "h", "i");
  EXPECT_EQ(Bytes(),
            "[User]\r\nlf=a\r\nb\r\ncr=c\r\nd\r\ncrlf=e\r\n"
            "[Other]\r\nf=g\r\nh=i\r\n");
}

TEST_P(ProfileContractTest, LongValuesAreStoredWholeAndReadBackCut) {
  std::string value;
  for (int i = 0; value.size() < 3000; ++i) value += std::to_string(i) + ",";
  Write("User", "0.Content", value);
  EXPECT_EQ(Bytes(), "[User]\r\n0.Content=" + value + "\r\n");
  EXPECT_EQ(Read("User", "0.Content"), value.substr(0, kProfileValueLimit));
  // The quotes go before the cut.
  const std::string inner(kProfileValueLimit - 1, 'q');
  Write("User", "quoted", "\"" + inner + "\"");
  EXPECT_EQ(Read("User", "quoted"), inner);
}

TEST_P(ProfileContractTest,
       TheNextWriteRewritesAHandWrittenFileInItsOwnLayout) {
  backend().Seed(file(),
                 "; note\n\n  [ User ]  \n\tk\t=\tv\t\nbare\n0.Title=first\n"
                 "0.Title=second\n[User]\n1.Title=hidden\n[A]tail\n[x=1");
  EXPECT_EQ(Read("User", "k"), "v");
  EXPECT_EQ(Read("User", "0.Title"), "first");
  EXPECT_EQ(Read("User", "1.Title"), "<default>");  // only the first [User]
  EXPECT_EQ(Read("A", "[x"), "1");
  Write("User", "2.Title", "new");
  Write("user", "0.title", "replaced");
  EXPECT_EQ(Bytes(),
            "; note\r\n[User]\r\nk=v\r\nbare\r\n0.Title=replaced\r\n"
            "0.Title=second\r\n2.Title=new\r\n[User]\r\n1.Title=hidden\r\n"
            "[A]\r\n[x=1\r\n");
}

TEST_P(ProfileContractTest, WritingAnUnchangedValueLeavesTheFileAlone) {
  const std::string handWritten = "[User]\n  k = v  \n\n";
  backend().Seed(file(), handWritten);
  Write("User", "K", "  v");
  EXPECT_EQ(Bytes(), handWritten);
  Write("User", "k", "V");
  EXPECT_EQ(Bytes(), "[User]\r\nk=V\r\n");
}

TEST_P(ProfileContractTest, RefusedWritesNameTheFile) {
  ASSERT_TRUE(files().MakeFolder(Path("Folder.ifm")));
  for (const std::string& path :
       {Path("Missing\\BackUp.ifm"), Path("a?b.ifm"), Path("Folder.ifm")}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(ErrorText([&] { profile().WriteString(path, "User", "k", "v"); }),
              "Unable to write to " + path);
    EXPECT_FALSE(files().FileExists(path));
  }
  EXPECT_FALSE(files().DirectoryExists(Path("Missing")));
}

TEST_P(ProfileContractTest, WritingToAReadOnlyFileIsRefused) {
  if (!backend().ReadOnlyStopsWrites())
    GTEST_SKIP() << "read-only files can be overwritten here (root)";
  backend().Seed(file(), "[User]\r\nk=v\r\n");
  backend().MakeReadOnly(file());
  EXPECT_EQ(ErrorText([&] { Write("User", "k", "w"); }),
            "Unable to write to " + file());
  EXPECT_EQ(Bytes(), "[User]\r\nk=v\r\n");
}

// The backup file is written whole, in the bytes that the profile
// functions would have written key by key, so that files written either
// way, or by hand, read the same.
TEST_P(ProfileContractTest, TheBackupIsWhatTheProfileFunctionsWouldWrite) {
  const std::vector<TTempSec> records{{"E-mail", "me@example.org\\r\\nline"},
                                      {" blank ", "\"quoted\""},
                                      {"a=b", "'single'"}};
  for (std::size_t n = 0; n < records.size(); ++n) {
    Write("User", std::to_string(n) + ".Title",
          QuoteForProfile(records[n].Title));
    Write("User", std::to_string(n) + ".Content",
          QuoteForProfile(records[n].Content));
  }
  EXPECT_EQ(Bytes(), BackupText(records));
}

}  // namespace
}  // namespace tavro::test
