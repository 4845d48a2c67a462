// What the program relies on from the file system, checked against every
// backend alike: the in-memory one must behave as the real one does.
#include <gtest/gtest.h>

#include <algorithm>

#include "ErrorText.h"
#include "FileBackend.h"

namespace tavro::test {
namespace {

// The system's own wording, which differs between systems, as one line.
void ExpectSystemMessage(const std::string& text) {
  EXPECT_NE(text, "(no error)");
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.back(), '\n') << text;
  EXPECT_NE(text.back(), '\r') << text;
}

// A fill script's shape: CR LF lines, quotes, backslashes, a lone LF.
const std::string kScript =
    "<SCRIPT LANGUAGE=\"JavaScript\" defer>\r\n"
    "var parentwin=external.menuArguments;\r\n"
    "  rng.text=\"a\\r\\nb \"q\" C:\\x\nsplit \xe9\xff\";\r\n"
    "</SCRIPT>\r\n";

TEST_P(FileSystemContractTest, ExistenceTellsFilesFromFolders) {
  backend().Seed(Path("Page.htm"), "x");
  ASSERT_TRUE(files().MakeFolder(Path("Script")));

  EXPECT_TRUE(files().FileExists(Path("Page.htm")));
  EXPECT_TRUE(files().FileExists(Path("pAGE.HTM")));
  EXPECT_TRUE(files().FileExists(Path("Script\\..\\Page.htm")));
  EXPECT_TRUE(files().FileExists(Path("Page.htm.")));  // Windows drops it
  EXPECT_FALSE(files().FileExists(Path("Page.htm\\")));
  EXPECT_FALSE(files().FileExists(Path("Script")));
  EXPECT_FALSE(files().FileExists(Path("Missing.htm")));

  EXPECT_TRUE(files().DirectoryExists(root_));
  EXPECT_TRUE(files().DirectoryExists(Path("SCRIPT\\")));
  EXPECT_FALSE(files().DirectoryExists(Path("Page.htm")));
  EXPECT_FALSE(files().DirectoryExists(Path("Missing")));
}

TEST_P(FileSystemContractTest, CreateDirectoryMakesOneFolderInAnExistingOne) {
  EXPECT_TRUE(files().MakeFolder(Path("Script")));
  EXPECT_TRUE(files().DirectoryExists(Path("Script")));
  EXPECT_FALSE(files().MakeFolder(Path("SCRIPT")));
  EXPECT_TRUE(files().MakeFolder(Path("script\\Deeper")));
  EXPECT_TRUE(files().DirectoryExists(Path("Script\\Deeper")));

  EXPECT_FALSE(files().MakeFolder(Path("Missing\\Script")));
  EXPECT_FALSE(files().DirectoryExists(Path("Missing")));

  backend().Seed(Path("File"), "x");
  EXPECT_FALSE(files().MakeFolder(Path("File")));
  EXPECT_FALSE(files().MakeFolder(Path("File\\Sub")));
  EXPECT_EQ(backend().Bytes(Path("File")), "x");
}

TEST_P(FileSystemContractTest, DeleteFileReportsWhetherAFileWentAway) {
  backend().Seed(Path("Old.htm"), "x");
  EXPECT_TRUE(files().RemoveFile(Path("OLD.htm")));
  EXPECT_FALSE(files().FileExists(Path("Old.htm")));
  EXPECT_FALSE(backend().Bytes(Path("Old.htm")));
  EXPECT_FALSE(files().RemoveFile(Path("Old.htm")));
  EXPECT_FALSE(files().RemoveFile(Path("Missing\\Old.htm")));

  ASSERT_TRUE(files().MakeFolder(Path("Script")));
  EXPECT_FALSE(files().RemoveFile(Path("Script")));
  EXPECT_TRUE(files().DirectoryExists(Path("Script")));
}

TEST_P(FileSystemContractTest, DeletingAReadOnlyFileFailsAndKeepsIt) {
  const std::string file = Path("BackUp.ifm");
  backend().Seed(file, "[User]\r\n0.Title=kept\r\n");
  backend().MakeReadOnly(file);
  EXPECT_FALSE(files().RemoveFile(file));
  EXPECT_TRUE(files().FileExists(file));
  EXPECT_EQ(backend().Bytes(file), "[User]\r\n0.Title=kept\r\n");
}

TEST_P(FileSystemContractTest, WriteFileStoresTheBytesUnchanged) {
  files().WriteFile(Path("E-mail.htm"), kScript);
  EXPECT_EQ(backend().Bytes(Path("E-mail.htm")), kScript);

  const std::string binary("a\0b\r\r\n\x1a\xff", 8);
  files().WriteFile(Path("Binary.htm"), binary);
  EXPECT_EQ(backend().Bytes(Path("Binary.htm")), binary);

  // An empty Title names the file by its extension alone.
  files().WriteFile(Path(".htm"), "");
  EXPECT_TRUE(files().FileExists(Path(".htm")));
  EXPECT_EQ(backend().Bytes(Path(".htm")), "");
  files().WriteFile(Path(".htm"), kScript);
  EXPECT_EQ(backend().Bytes(Path(".htm")), kScript);
}

TEST_P(FileSystemContractTest, WritingOverALongerFileLeavesNothingOfIt) {
  const std::string file = Path("E-mail.htm");
  backend().Seed(file, std::string(3000, 'o') + "\r\nold tail\r\n");
  files().WriteFile(Path("e-MAIL.htm"), kScript);
  EXPECT_EQ(backend().Bytes(file), kScript);
  files().WriteFile(file, "short", FileSystem::Sync::Cached);
  EXPECT_EQ(backend().Bytes(file), "short");
  EXPECT_TRUE(files().FindFiles(Path("*.tmp")).empty());  // none left over
}

TEST_P(FileSystemContractTest, WritingIntoAMissingFolderFails) {
  ExpectSystemMessage(
      ErrorText([&] { files().WriteFile(Path("Script\\E-mail.htm"), "x"); }));
  EXPECT_FALSE(files().DirectoryExists(Path("Script")));
  EXPECT_FALSE(files().FileExists(Path("Script\\E-mail.htm")));
}

// The save shows this text as it stands: it must say which file.
TEST_P(FileSystemContractTest, AFailedWriteNamesItsFileAndThenTheReason) {
  backend().Seed(Path("Script"), "a file where a folder should be");
  backend().Seed(Path("Held.htm"), "old");
  backend().HoldOpen(Path("Held.htm"));
  for (const std::string& file :
       {Path("Script\\E-mail.htm"), Path("Missing\\E-mail.htm"),
        Path("Held.htm")}) {
    SCOPED_TRACE(file);
    const std::string text =
        ErrorText([&] { files().WriteFile(file, kScript); });
    const std::string start = "Could not write " + file + ": ";
    ASSERT_EQ(text.substr(0, start.size()), start);
    ExpectSystemMessage(text.substr(start.size()));
  }
  // A backup held open is one kept as it was.
  EXPECT_THROW(files().WriteFile(Path("Held.htm"), kScript), ReplaceFailed);
  EXPECT_TRUE(files().FindFiles(Path("*.tmp")).empty());
}

TEST_P(FileSystemContractTest, NamesWindowsForbidsCannotBeCreated) {
  for (const char* name : {"a?b.htm", "a*b.htm", "a<b.htm", "a>b.htm",
                           "a|b.htm", "a\"b.htm", "a\tb.htm"}) {
    SCOPED_TRACE(name);
    ExpectSystemMessage(
        ErrorText([&] { files().WriteFile(Path(name), kScript); }));
    EXPECT_FALSE(files().FileExists(Path(name)));
  }
}

TEST_P(FileSystemContractTest, AFolderCannotBeWrittenAsAFile) {
  ASSERT_TRUE(files().MakeFolder(Path("Script")));
  ExpectSystemMessage(
      ErrorText([&] { files().WriteFile(Path("Script"), kScript); }));
  EXPECT_TRUE(files().DirectoryExists(Path("Script")));
  EXPECT_TRUE(files().FindFiles(Path("*.tmp")).empty());
}

TEST_P(FileSystemContractTest, WritingOverAReadOnlyFileFails) {
  if (!backend().ReadOnlyStopsWrites())
    GTEST_SKIP() << "read-only files can be overwritten here (root)";
  const std::string file = Path("E-mail.htm");
  backend().Seed(file, "old");
  backend().MakeReadOnly(file);
  ExpectSystemMessage(ErrorText([&] { files().WriteFile(file, kScript); }));
  EXPECT_EQ(backend().Bytes(file), "old");
}

// The language list relies on this; a system may add names whose short 8.3
// form matches, so only what every backend yields is pinned.
TEST_P(FileSystemContractTest, WildcardSearchYieldsFilesAndFoldersByName) {
  ASSERT_TRUE(files().MakeFolder(Path("Languages")));
  for (const char* name : {"English.ini", "DEUTSCH.INI", "notes.txt"})
    backend().Seed(Path(std::string("Languages\\") + name), "");
  ASSERT_TRUE(files().MakeFolder(Path("Languages\\Folder.ini")));

  std::vector<std::string> found = files().FindFiles(Path("Languages\\*.ini"));
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::string>{"DEUTSCH.INI", "English.ini",
                                             "Folder.ini"}));
  EXPECT_EQ(files().FindFiles(Path("Languages\\e?glish.INI")),
            std::vector<std::string>{"English.ini"});
  EXPECT_TRUE(files().FindFiles(Path("Missing\\*.ini")).empty());
  EXPECT_TRUE(files().FindFiles(Path("Languages\\*.htm")).empty());
}

}  // namespace
}  // namespace tavro::test
