// Titles that cannot name a file or a subkey as they stand.
#include <gtest/gtest.h>

#include "MemoryRegistry.h"
#include "Paths.h"
#include "Registration.h"

namespace tavro {
namespace {

const std::string kWork = "C:\\Forms";
const std::string kScripts = "C:\\Forms\\Script\\";

// The file name a Title gets, without folder and extension.
std::string FileTitle(const std::string& title,
                      const std::string& workDir = kWork) {
  const std::string path = ScriptPath(workDir, title);
  const std::string folder = workDir + "\\Script\\";
  EXPECT_EQ(path.rfind(folder, 0), 0u) << path;
  EXPECT_TRUE(path.ends_with(".htm")) << path;
  return path.substr(folder.size(), path.size() - folder.size() - 4);
}

TEST(SafeNames, OrdinaryTitlesKeepTheirNames) {
  for (const std::string title :
       {"E-mail", "a.b", "", "..", "My Name ", "Caf\xe9", "100% sure!"})
    EXPECT_EQ(ScriptPath(kWork, title), kScripts + title + ".htm");
  EXPECT_EQ(MenuKeyName(0, "E-mail"), "00.E-mail");
  EXPECT_EQ(MenuKeyName(100, "a.b"), "100.a.b");
}

TEST(SafeNames, ScriptsNeverLeaveTheScriptFolder) {
  for (const std::string title :
       {"..\\..\\Windows\\win", "a/b", "C:\\x", "a:b", "what?", "*", "<i>",
        "\"q\"", "pipe|", "tab\there", "CON", "nul.txt", "com1 ", "LPT9"}) {
    const std::string name = FileTitle(title);
    EXPECT_EQ(name.find_first_of("\\/:*?\"<>|\t"), std::string::npos) << title;
    EXPECT_NE(name, title);
  }
  // Different Titles that clean up alike still get files of their own.
  EXPECT_NE(FileTitle("a/b"), FileTitle("a:b"));
  EXPECT_EQ(FileTitle("a/b"), FileTitle("a/b"));
  // COM10 and CONSOLE are ordinary names.
  EXPECT_EQ(FileTitle("COM10"), "COM10");
  EXPECT_EQ(FileTitle("CONSOLE"), "CONSOLE");
}

TEST(SafeNames, LongTitlesAreCutToFitThePath) {
  const std::string title(255, 'x');
  const std::string path = ScriptPath(kWork, title);
  EXPECT_LE(path.size(), 259u);
  EXPECT_NE(FileTitle(title), title);
  // A deeper work folder leaves less room; the name still fits.
  const std::string deep = "C:\\" + std::string(180, 'd');
  EXPECT_LE(ScriptPath(deep, title).size(), 259u);
  EXPECT_LE(ScriptPath(deep, std::string(60, 'y')).size(), 259u);
  // Two long Titles that share their start do not share a file.
  EXPECT_NE(ScriptPath(kWork, title + "1"), ScriptPath(kWork, title + "2"));
}

TEST(SafeNames, SubkeysOfOddTitlesStayDirectChildrenAndKeepTheTitle) {
  MemoryRegistry registry;
  MenuRegistration menu(registry);
  const std::string slashed = "..\\..\\Run";
  const std::string longTitle(255, 'L');
  menu.Rewrite({{slashed, "a"}, {longTitle, "b"}, {"Plain", "c"}},
               ScriptPaths(kWork, {slashed, longTitle, "Plain"}));

  const std::vector<std::string> names =
      registry.Open(kMenuExtKey, Registry::Mode::Read)
          .OrThrow("")
          ->SubkeyNames();
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[0], "00.../../Run");
  // The path from the root, without its outer backslashes, fits 260.
  EXPECT_EQ(names[1].size(), 260u - (std::string(kMenuExtKey).size() - 1));
  EXPECT_EQ(names[2], "02.Plain");
  // Only a Title the name cannot hold is written out in full.
  EXPECT_FALSE(registry.GetRawValue(kMenuExtKey + names[2], kTitleValue));
  EXPECT_FALSE(registry.KeyExists("\\Software\\Microsoft\\Run"));

  const auto read = menu.Read();
  ASSERT_EQ(read.entries.size(), 3u);
  EXPECT_EQ(read.entries[0], (TSection{slashed, "a"}));
  EXPECT_EQ(read.entries[1], (TSection{longTitle, "b"}));
  EXPECT_EQ(read.entries[2], (TSection{"Plain", "c"}));
  EXPECT_EQ(registry.GetRawValue(kMenuExtKey + names[0], "")->bytes,
            "file://" + ScriptPath(kWork, slashed));
}

}  // namespace
}  // namespace tavro
