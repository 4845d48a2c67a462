// The fake file system's test controls, which no real backend has.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ErrorText.h"
#include "MemoryFileSystem.h"
#include "MemoryProfileFile.h"

namespace tavro {
namespace {

using test::ErrorText;
using ::testing::ElementsAre;

TEST(MemoryFileControlsTest, ListsFilesByTheirFirstSpellingInCaseBlindOrder) {
  MemoryFileSystem files;
  files.AddFolder("C:\\Work\\Script");
  files.AddFile("c:\\work\\BackUp.ifm", "b");
  files.WriteFile("C:\\Work\\Script\\b.htm", "1");
  files.WriteFile("C:\\WORK\\SCRIPT\\A.htm", "2");
  files.WriteFile("C:\\Work\\Script\\B.HTM", "3");  // same file, first name
  EXPECT_THAT(files.ListFiles(),
              ElementsAre("C:\\Work\\BackUp.ifm", "C:\\Work\\Script\\A.htm",
                          "C:\\Work\\Script\\b.htm"));
  EXPECT_EQ(files.ReadFile("C:/Work/./Script/b.htm"), "3");
  EXPECT_FALSE(files.ReadFile("C:\\Work\\Script"));
}

TEST(MemoryFileControlsTest, AFullDiskLeavesTheOldFile) {
  MemoryFileSystem files;
  files.AddFolder("C:\\W");
  files.SetFreeSpace(5);
  files.WriteFile("C:\\W\\a.htm", "abc");
  EXPECT_EQ(ErrorText([&] { files.WriteFile("C:\\W\\b.htm", "defgh"); }),
            "Could not write C:\\W\\b.htm: Disk full.");
  EXPECT_EQ(files.ReadFile("C:\\W\\b.htm"), std::nullopt);
  EXPECT_EQ(ErrorText([&] { files.WriteFile("C:\\W\\a.htm", "x"); }),
            "Could not write C:\\W\\a.htm: Disk full.");
  EXPECT_EQ(files.ReadFile("C:\\W\\a.htm"), "abc");
  EXPECT_EQ(files.ListFiles(), std::vector<std::string>{"C:\\W\\a.htm"});
  files.WriteFile("C:\\W\\empty.htm", "");
}

TEST(MemoryFileControlsTest, AProfileWriteOnAFullDiskCutsTheFileSilently) {
  // As Wine does: it does not check its writes once the file is open.
  MemoryFileSystem files;
  MemoryProfileFile profile(files);
  files.AddFolder("C:\\W");
  files.SetFreeSpace(10);
  profile.WriteString("C:\\W\\BackUp.ifm", "User", "0.Title", "E-mail");
  EXPECT_EQ(files.ReadFile("C:\\W\\BackUp.ifm"), "[User]\r\n0.");
}

TEST(MemoryFileControlsTest, RefusesTheNthWriteOfEitherKind) {
  MemoryFileSystem files;
  MemoryProfileFile profile(files);
  files.AddFolder("C:\\W");
  files.RefuseWrite(3);
  profile.WriteString("C:\\W\\BackUp.ifm", "User", "0.Title", "a");
  profile.WriteString("C:\\W\\BackUp.ifm", "User", "0.Title", "a");  // no-op
  files.WriteFile("C:\\W\\1.htm", "1");
  EXPECT_EQ(ErrorText([&] {
              profile.WriteString("C:\\W\\BackUp.ifm", "User", "1.Title", "b");
            }),
            "Unable to write to C:\\W\\BackUp.ifm");
  EXPECT_EQ(files.ReadFile("C:\\W\\BackUp.ifm"), "[User]\r\n0.Title=a\r\n");
  files.WriteFile("C:\\W\\2.htm", "2");  // only the one was refused
}

TEST(MemoryFileControlsTest, AReadOnlyFileCanBeNeitherDeletedNorWritten) {
  MemoryFileSystem files;
  MemoryProfileFile profile(files);
  files.AddFile("C:\\W\\BackUp.ifm", "[User]\r\nk=v\r\n");
  files.SetReadOnly("C:\\W\\backup.IFM");
  EXPECT_FALSE(files.RemoveFile("C:\\W\\BackUp.ifm"));
  EXPECT_EQ(ErrorText([&] { files.WriteFile("C:\\W\\BackUp.ifm", "x"); }),
            "Could not write C:\\W\\BackUp.ifm: Access denied.");
  EXPECT_EQ(ErrorText([&] {
              profile.WriteString("C:\\W\\BackUp.ifm", "User", "k", "w");
            }),
            "Unable to write to C:\\W\\BackUp.ifm");
  files.SetReadOnly("C:\\W\\BackUp.ifm", false);
  EXPECT_TRUE(files.RemoveFile("C:\\W\\BackUp.ifm"));
}

}  // namespace
}  // namespace tavro
