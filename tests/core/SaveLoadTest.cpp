// Save and Load over in-memory stores: what each store holds after a save
// that runs to its end or fails at any step, and what Load brings back.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "Backup.h"
#include "CodePage.h"
#include "Errors.h"
#include "FakeWorkspaceTest.h"
#include "FillScript.h"
#include "Paths.h"
#include "Workspace.h"

namespace tavro {
namespace {

const std::string kKey = kMenuExtKey;
const std::string kWork = "C:\\Forms";
const std::string kBackup = kWork + "\\BackUp.ifm";
constexpr auto kError = ScriptedBoxes::Shown::Error;

class SaveLoadTest : public FakeWorkspaceTest {
 protected:
  SaveLoadTest() {
    files.AddFolder(kWork);
    ws.Start(kWork);
  }
  // A list as the user left it: unsaved.
  void Have(std::vector<TSection> entries) {
    ws.Model.Clear();
    ws.Model.Refill(std::move(entries));
  }
  // Edit of row i, confirmed with a new Title.
  void Retitle(int i, std::string title) {
    struct Editor : EntryEditor {
      std::string title;
      void Run(const std::string&, bool, TEditBuffer& t,
               TEditBuffer&) override {
        t = title;
      }
    } editor;
    editor.title = std::move(title);
    view.Select(i);
    ws.Model.Edit(editor, "");
  }
  std::vector<std::string> Subkeys() {
    return registry.Open(kKey, Registry::Mode::Create)
        .OrThrow(kKey)
        ->SubkeyNames();
  }
  std::optional<std::string> Script(const std::string& title) {
    return files.ReadFile(ScriptPath(kWork, title));
  }
  std::optional<std::string> BackupFile() { return files.ReadFile(kBackup); }
  // Every file of the work folder, to see that nothing went elsewhere.
  std::vector<std::string> AllFiles() { return files.ListFiles(); }
  // The next start of the program on the stores as they are: the list it
  // shows, having answered the question of an unfinished save, if asked.
  struct NextStart {
    std::vector<TSection> list;
    bool asked = false;
    std::vector<ScriptedBoxes::Shown> shown;
  };
  // Saves at its end, when told.
  NextStart StartAgain(Answer answer, bool save = false) {
    MemoryEntryView nextView;
    ScriptedBoxes nextBoxes;
    nextBoxes.answers = {answer};
    TWorkspace next(nextView, nextBoxes, {registry, files, profiles});
    next.Start(kWork);
    next.LoadFromRegistry();
    const bool asked = !nextBoxes.shown.empty() &&
                       nextBoxes.shown[0].kind == ScriptedBoxes::Shown::YesNo;
    NextStart seen{next.Model.Sections(), asked, nextBoxes.shown};
    if (save) next.SaveBtnClick();
    return seen;
  }
  // After a save of `after` over `before` that may have been cut short: the
  // next start shows one of the two lists, or asks and then restores
  // `after` from the backup.
  void ExpectNoListLostUnasked(const std::vector<TSection>& before,
                               const std::vector<TSection>& after,
                               const std::string& where) {
    const NextStart next = StartAgain(Answer::No);
    if (next.asked)
      EXPECT_EQ(StartAgain(Answer::Yes).list, after) << where;
    else
      EXPECT_TRUE(next.list == before || next.list == after) << where;
  }
  void SaveExpectingError(const std::string& text) {
    try {
      ws.SaveBtnClick();
      ADD_FAILURE() << "the save did not fail";
    } catch (const TavroError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(text, 0), 0u) << e.what();
    }
  }
};

TEST_F(SaveLoadTest, SaveBringsAllThreeStoresInStep) {
  Have({{"E-mail", "me@example.org\r\nline 2"}, {"Name", "Ann"}});
  ws.SaveBtnClick();

  EXPECT_EQ(Subkeys(), (std::vector<std::string>{"00.E-mail", "01.Name"}));
  EXPECT_EQ(registry.GetRawValue(kKey + "00.E-mail", kMarkerValue)->bytes,
            "me@example.org\\r\\nline 2");
  EXPECT_EQ(BackupFile(),
            "[User]\r\n0.Title=E-mail\r\n0.Content=me@example.org\\r\\nline "
            "2\r\n1.Title=Name\r\n1.Content=Ann\r\n");
  EXPECT_EQ(Script("E-mail"), FillScriptText("me@example.org\r\nline 2"));
  EXPECT_EQ(Script("E-mail")->size(), 294u + 24u);
  EXPECT_EQ(Script("Name"), FillScriptText("Ann"));
  EXPECT_FALSE(ws.Model.Changed());
  EXPECT_FALSE(view.saveItemEnabled);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SaveLoadTest, RegistryIsRewrittenOnlyWhenChangedOrWithoutBackup) {
  Have({{"A", "a"}});
  ws.SaveBtnClick();
  registry.SetRawValue(kKey + "00.A", kMarkerValue, MemoryRegistry::kSz, "x");
  ws.SaveBtnClick();  // nothing changed, backup present: registry alone
  EXPECT_EQ(registry.GetRawValue(kKey + "00.A", kMarkerValue)->bytes, "x");
  EXPECT_EQ(Script("A"), FillScriptText("a"));

  files.RemoveFile(kBackup);
  ws.SaveBtnClick();
  EXPECT_EQ(registry.GetRawValue(kKey + "00.A", kMarkerValue)->bytes, "a");
  EXPECT_TRUE(BackupFile());
}

TEST_F(SaveLoadTest, ABackupThatCannotBeReplacedStaysAndTheUserIsTold) {
  Have({{"A", "a"}});
  ws.SaveBtnClick();
  const auto old = BackupFile();
  files.SetReadOnly(kBackup);
  Have({{"B", "b"}});
  ws.SaveBtnClick();  // goes on: the browser gets the new list
  EXPECT_EQ(BackupFile(), old);
  EXPECT_EQ(Subkeys(), std::vector<std::string>{"00.B"});
  EXPECT_EQ(Script("B"), FillScriptText("b"));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].kind, ScriptedBoxes::Shown::Error);
  EXPECT_NE(boxes.shown[0].text.find(kBackup), std::string::npos);
  EXPECT_FALSE(ws.Model.Changed());
  EXPECT_EQ(AllFiles().size(), 3u);  // no temporary file left behind
}

// Whichever write is refused, every file is the whole old or the whole new
// one, and no temporary file stays.
TEST_F(SaveLoadTest, ARefusedWriteAnywhereLeavesEachFileOldOrNew) {
  const std::vector<TTempSec> before{{"A", "a"}, {"B", "b"}};
  const std::vector<TTempSec> after{{"A", "a2"}, {"B", "b2"}, {"C", "c2"}};
  auto entries = [](const std::vector<TTempSec>& records) {
    std::vector<TSection> list;
    for (const TTempSec& r : records) list.push_back({r.Title, r.Content});
    return list;
  };
  for (int n = 1;; ++n) {
    files.RefuseWrite(0);
    Have(entries(before));
    ws.SaveBtnClick();
    Have(entries(after));
    files.RefuseWrite(n);
    try {
      ws.SaveBtnClick();
    } catch (const TavroError&) {
      EXPECT_TRUE(ws.Model.Changed());
    }
    EXPECT_TRUE(BackupFile() == BackupText(before) ||
                BackupFile() == BackupText(after))
        << "write " << n;
    for (std::size_t i = 0; i < after.size(); ++i) {
      const auto script = Script(after[i].Title);
      const bool isOld = i < before.size()
                             ? script == FillScriptText(before[i].Content)
                             : !script;
      EXPECT_TRUE(isOld || script == FillScriptText(after[i].Content))
          << "write " << n << ", " << after[i].Title;
    }
    for (const std::string& file : AllFiles())
      EXPECT_EQ(file.find(".tmp"), std::string::npos) << file;
    ExpectNoListLostUnasked(entries(before), entries(after),
                            "write " + std::to_string(n));
    if (!ws.Model.Changed()) break;  // the save got past every write
  }
}

// Refused, or stopped as by a crash, at each change of the registry.
TEST_F(SaveLoadTest, ASaveCutShortAnywhereNeverShortensTheListUnasked) {
  const std::vector<TSection> before{{"A", "a"}, {"B", "b"}, {"C", "c"}};
  const std::vector<TSection> after{{"A", "a2"}, {"B", "b2"}, {"D", "d2"}};
  for (const bool crash : {true, false}) {
    for (int n = 0;; ++n) {
      Have(before);
      ws.SaveBtnClick();
      Have(after);
      crash ? registry.StopAfter(n) : registry.RefuseWritesAfter(n);
      bool finished = false;
      try {
        ws.SaveBtnClick();
        finished = true;
      } catch (const TavroError&) {
      } catch (const MemoryRegistry::Stopped&) {
      }
      registry.StopAfter(-1);
      registry.RefuseWritesAfter(-1);
      const std::string where =
          (crash ? "stopped at change " : "refused write ") + std::to_string(n);
      ExpectNoListLostUnasked(before, after, where);
      if (finished) {
        EXPECT_FALSE(StartAgain(Answer::No).asked) << where;
        break;
      }
    }
  }
}

// The mark is any program's to write: only a backup that reads whole is
// offered; else the start keeps the menu's list, says why, and the next
// save leaves every store holding it.
TEST_F(SaveLoadTest, AMarkNamingNoWholeBackupKeepsTheMenusList) {
  const std::vector<TSection> saved{{"A", "a"}, {"B", "b"}, {"C", "c"}};
  const std::string other = "C:\\Other\\BackUp.ifm";
  files.AddFolder("C:\\Other");
  using Raw = MemoryRegistry;
  const struct {
    const char* what;
    std::uint32_t type;
    std::string mark;
    std::optional<std::string> file;  // at `other`
    ScriptedBoxes::Shown::Kind box;
  } rows[] = {
      {"a missing file", Raw::kSz, "C:\\Gone\\BackUp.ifm", {}, kError},
      {"a folder", Raw::kSz, kWork + "\\Script", {}, kError},
      {"an empty file", Raw::kSz, other, "", kError},
      {"no section User", Raw::kSz, other, "[Other]\r\n0.Title=X\r\n", kError},
      {"a gap", Raw::kSz, other, "[User]\r\n0.Title=X\r\n2.Title=Z\r\n",
       kError},
      {"an over-long value",
       Raw::kSz,
       "C:\\" + std::string(100000, 'x'),
       {},
       kError},
      {"an empty value", Raw::kSz, "", {}, kError},
      {"a non-text value", Raw::kDword, std::string("\x01\0\0", 4), {}, kError},
      {"a whole backup", Raw::kSz, other,
       "[User]\r\n0.Title=X\r\n1.Title=Y\r\n", ScriptedBoxes::Shown::YesNo},
  };
  for (const auto& row : rows) {
    Have(saved);
    ws.SaveBtnClick();
    files.RemoveFile(other);
    if (row.file) files.AddFile(other, *row.file);
    registry.SetRawValue(kKey, kSaveMarkValue, row.type, row.mark + '\0');
    const NextStart next = StartAgain(Answer::No, true);
    EXPECT_EQ(next.list, saved) << row.what;
    ASSERT_EQ(next.shown.size(), 1u) << row.what;
    EXPECT_EQ(next.shown[0].kind, row.box) << row.what;
    EXPECT_LT(next.shown[0].text.size(), 300u) << row.what;
    EXPECT_EQ(Subkeys().size(), 3u) << row.what;
    EXPECT_EQ(BackupFile(), BackupText({{"A", "a"}, {"B", "b"}, {"C", "c"}}))
        << row.what;
    EXPECT_FALSE(registry.GetRawValue(kKey, kSaveMarkValue)) << row.what;
  }
  registry.SetRawValue(kKey, kSaveMarkValue, Raw::kSz, other + '\0');
  EXPECT_EQ(StartAgain(Answer::Yes).list,
            (std::vector<TSection>{{"X", ""}, {"Y", ""}}));
}

TEST_F(SaveLoadTest, EmptyListLeavesNoBackupAndNoSubkeys) {
  Have({{"A", "a"}});
  ws.SaveBtnClick();
  view.Select(0);
  boxes.answers = {Answer::Yes};
  ws.Model.Delete(ws.Messages.msgDelete);
  ws.SaveBtnClick();
  EXPECT_TRUE(Subkeys().empty());
  EXPECT_FALSE(BackupFile());
  EXPECT_FALSE(Script("A"));
  EXPECT_TRUE(files.DirectoryExists(kWork + "\\Script"));
  ws.LoadBtnClick();
  EXPECT_TRUE(ws.Model.Sections().empty());
}

TEST_F(SaveLoadTest, RemovalLogDeletesOldScriptsBeforeWritingCurrentOnes) {
  Have({{"A", "a"}, {"Same", "1"}, {"Same", "2"}});
  ws.SaveBtnClick();
  files.AddFile(kWork + "\\Script\\Stray.htm", "kept");
  // Rename A to B; delete one of the two entries that share a script.
  Retitle(0, "B");
  view.Select(1);
  boxes.answers = {Answer::Yes};
  ws.Model.Delete(ws.Messages.msgDelete);
  ws.SaveBtnClick();

  EXPECT_FALSE(Script("A"));
  EXPECT_EQ(Script("B"), FillScriptText("a"));
  EXPECT_EQ(Script("Same"), FillScriptText("2"));
  EXPECT_EQ(files.ReadFile(kWork + "\\Script\\Stray.htm"), "kept");
  EXPECT_EQ(boxes.shown.size(), 1u);  // only the Delete question
}

TEST_F(SaveLoadTest, UndeletableScriptIsReportedOncePerFileAndSaveGoesOn) {
  Have({{"A", "a"}, {"B", "b"}, {"C", "c"}});
  ws.SaveBtnClick();
  files.SetReadOnly(ScriptPath(kWork, "A"));
  files.SetReadOnly(ScriptPath(kWork, "B"));
  boxes.answers = {Answer::Yes, Answer::Yes};
  view.Select(0);
  ws.Model.Delete(ws.Messages.msgDelete);
  view.Select(0);
  ws.Model.Delete(ws.Messages.msgDelete);
  boxes.shown.clear();
  ws.SaveBtnClick();

  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].kind, ScriptedBoxes::Shown::Error);
  EXPECT_EQ(boxes.shown[0].text, "Something error when deleting files!");
  EXPECT_EQ(Subkeys(), std::vector<std::string>{"00.C"});
  EXPECT_FALSE(ws.Model.Changed());
}

// The start says so and goes on with an empty list; a save of that list
// then stops at the key, which keeps the saved entries.
TEST_F(SaveLoadTest, AMenuKeyThatCannotBeOpenedIsSaidAndKept) {
  Have({{"A", "a"}, {"B", "b"}});
  ws.SaveBtnClick();
  registry.DenyAccess(kKey);
  try {
    StartAgain(Answer::No);
    ADD_FAILURE() << "the start said nothing";
  } catch (const TavroError& e) {
    EXPECT_EQ(std::string(e.what()),
              "The registry key HKEY_CURRENT_USER" + kKey + " cannot be read");
  }
  Have({{"New", "n"}});
  SaveExpectingError("Failed to set data for 'TavroSaving'");
  registry.DenyAccess(kKey, false);
  EXPECT_EQ(Subkeys(), (std::vector<std::string>{"00.A", "01.B"}));
  EXPECT_FALSE(registry.GetRawValue(kKey, kSaveMarkValue));
  EXPECT_FALSE(Script("New"));
}

TEST_F(SaveLoadTest, RefusedRegistryWriteStopsBeforeBackupAndScripts) {
  Have({{"Old", "o"}});
  ws.SaveBtnClick();
  Have({{"A", "a"}, {"B", "b"}});
  registry.RefuseWritesAfter(1 + 3);  // the mark, A's three, then B's first
  SaveExpectingError("Failed to set data for ''");

  EXPECT_EQ(Subkeys(), (std::vector<std::string>{"00.A", "01.B"}));
  EXPECT_TRUE(registry.GetRawValue(kKey + "00.A", kMarkerValue));
  EXPECT_FALSE(registry.GetRawValue(kKey + "01.B", kMarkerValue));
  EXPECT_EQ(ws.Model.Sections().size(), 2u);
  EXPECT_TRUE(ws.Model.Changed());
  EXPECT_TRUE(view.saveItemEnabled);
  // Written first, it holds the list that the next start offers.
  EXPECT_EQ(BackupFile(), BackupText({{"A", "a"}, {"B", "b"}}));
  EXPECT_TRUE(registry.GetRawValue(kKey, kSaveMarkValue));
  EXPECT_FALSE(Script("A"));
}

TEST_F(SaveLoadTest, RefusedBackupWriteStopsBeforeScripts) {
  Have({{"Old", "o"}});
  ws.SaveBtnClick();
  Have({{"A", "a"}, {"B", "b"}});
  files.RefuseWrite(1);  // the backup file
  SaveExpectingError("Unable to write to " + kBackup);

  EXPECT_EQ(Subkeys(), std::vector<std::string>{"00.Old"});
  EXPECT_EQ(BackupFile(), "[User]\r\n0.Title=Old\r\n0.Content=o\r\n");
  EXPECT_FALSE(Script("A"));
  EXPECT_TRUE(ws.Model.Changed());
}

TEST_F(SaveLoadTest, FailingScriptStopsTheSaveAtThatEntry) {
  Have({{"A", "a"}, {"B", "b"}, {"C", "c"}});
  files.AddFolder(kWork + "\\Script");
  files.RefuseWrite(1 + 2);  // after the backup file and A's script
  EXPECT_THROW(ws.SaveBtnClick(), TavroError);

  EXPECT_EQ(Subkeys().size(), 3u);
  EXPECT_NE(BackupFile()->find("2.Title=C"), std::string::npos);
  EXPECT_TRUE(Script("A"));
  EXPECT_FALSE(Script("B"));
  EXPECT_FALSE(Script("C"));
  EXPECT_TRUE(ws.Model.Changed());
  EXPECT_TRUE(view.saveItemEnabled);
}

// Said as the user can act on it: which file, and the system's reason.
TEST_F(SaveLoadTest, AScriptThatCannotBeWrittenIsNamedInTheError) {
  Have({{"A", "a"}, {"B", "b"}});
  files.AddFile(kWork + "\\Script", "");  // where the folder should be
  SaveExpectingError("Could not write " + kWork +
                     "\\Script\\A.htm: Path not found.");
  EXPECT_EQ(Subkeys().size(), 2u);
  EXPECT_TRUE(ws.Model.Changed());

  files.RemoveFile(kWork + "\\Script");
  ws.SaveBtnClick();
  files.SetReadOnly(ScriptPath(kWork, "B"));  // as while another holds it
  Have({{"A", "a2"}, {"B", "b2"}});
  SaveExpectingError("Could not write " + ScriptPath(kWork, "B") +
                     ": Access denied.");
  EXPECT_EQ(Script("A"), FillScriptText("a2"));
  EXPECT_EQ(Script("B"), FillScriptText("b"));
  EXPECT_TRUE(ws.Model.Changed());
  EXPECT_TRUE(view.saveItemEnabled);
}

// Titles that one file name serves must not share a script: each menu item
// types its own entry's Content.
TEST_F(SaveLoadTest, EachEntryHasAScriptOfItsOwnUnderOneName) {
  auto typed = [&](const std::string& subkey) {
    const auto value = registry.GetRawValue(kKey + subkey, "");
    if (!value) return std::string("(no value)");
    const std::string url = value->bytes.substr(0, value->bytes.find('\0'));
    return files.ReadFile(url.substr(std::string("file://").size()))
        .value_or("(no script)");
  };
  Have({{"Name", "first"}, {"name", "second"}, {"Name", "third"}});
  ws.SaveBtnClick();
  EXPECT_EQ(Subkeys(),
            (std::vector<std::string>{"00.Name", "01.name", "02.Name"}));
  EXPECT_EQ(typed("00.Name"), FillScriptText("first"));
  EXPECT_EQ(typed("01.name"), FillScriptText("second"));
  EXPECT_EQ(typed("02.Name"), FillScriptText("third"));
  EXPECT_EQ(AllFiles().size(), 1u + 3u);

  view.Select(0);
  boxes.answers = {Answer::Yes};
  ws.Model.Delete(ws.Messages.msgDelete);
  ws.SaveBtnClick();
  EXPECT_EQ(Subkeys(), (std::vector<std::string>{"00.name", "01.Name"}));
  EXPECT_EQ(typed("00.name"), FillScriptText("second"));
  EXPECT_EQ(typed("01.Name"), FillScriptText("third"));
  EXPECT_EQ(AllFiles().size(), 1u + 2u);  // the third name's variant is gone
  EXPECT_TRUE(boxes.shown.size() == 1u);  // the Delete question only
}

// A variant's number moves when a namesake goes, is renamed or is moved,
// also past a Title that itself looks like a variant; a save leaves the
// entries' scripts, and the files Tavro never names.
TEST_F(SaveLoadTest, NoScriptOutlivesItsEntry) {
  const std::string kLong(240, 'L');  // fills the path in folder Long
  const auto remove = [&](int i) {
    view.Select(i);
    boxes.answers = {Answer::Yes};
    ws.Model.Delete(ws.Messages.msgDelete);
  };
  const struct {
    const char* folder;
    std::vector<TSection> list;
    std::function<void()> change;
  } rows[] = {
      {"Renamed",
       {{"a", "1"}, {"a", "2"}, {"a~2", "3"}},
       [&] { Retitle(1, "b"); }},
      {"Deleted",
       {{"A", "1"}, {"a", "2"}, {"a~2", "3"}, {"a", "4"}},
       [&] { remove(0); }},
      {"Moved",
       {{"a", "1"}, {"a~2", "2"}, {"a", "3"}},
       [&] {
         view.Select(2);
         ws.Model.Up();
       }},
      // Cut to fit the path limit, a variant's name is not the first's.
      {"Long", {{kLong, "1"}, {kLong, "2"}}, [&] { remove(0); }},
  };
  const std::vector<std::string> strays = {"a~02.htm", "a~3.html", "Notes.htm"};
  for (const auto& row : rows) {
    const std::string work = "C:\\" + std::string(row.folder);
    const std::string folder = ScriptFolder(work) + "\\";
    for (const std::string& stray : strays) files.AddFile(folder + stray, "");
    ws.Start(work);
    Have(row.list);
    ws.SaveBtnClick();
    row.change();
    ws.SaveBtnClick();

    std::vector<std::string> titles;
    for (const TSection& entry : ws.Model.Sections())
      titles.push_back(entry.Title);
    std::set<std::string> expected;
    for (const std::string& path : ScriptPaths(work, titles))
      expected.insert(LowerAscii(path));
    for (const std::string& stray : strays)
      expected.insert(LowerAscii(folder + stray));
    std::set<std::string> found;
    for (const std::string& file : AllFiles())
      if (file.starts_with(folder)) found.insert(LowerAscii(file));
    EXPECT_EQ(found, expected) << row.folder;
  }
  for (const ScriptedBoxes::Shown& shown : boxes.shown)
    EXPECT_NE(shown.kind, ScriptedBoxes::Shown::Error) << shown.text;
}

TEST_F(SaveLoadTest, OddTitlesStayInsideTheirFolderAndKey) {
  const std::string evil = "..\\..\\Windows\\evil";
  Have({{evil, "x"}, {"what?", "y"}, {std::string(255, 'L'), "z"}});
  ws.SaveBtnClick();
  for (const std::string& file : AllFiles())
    EXPECT_EQ(file.rfind(kWork + "\\", 0), 0u) << file;
  EXPECT_EQ(AllFiles().size(), 4u);  // the backup and three scripts
  EXPECT_EQ(Script(evil), FillScriptText("x"));

  // The list survives a restart and a Load unchanged.
  const std::vector<TSection> saved = ws.Model.Sections();
  ws.Start(kWork);
  ws.LoadFromRegistry();
  EXPECT_EQ(ws.Model.Sections(), saved);
  ws.LoadBtnClick();
  EXPECT_EQ(ws.Model.Sections(), saved);

  // Renaming such an entry removes its script, not a file elsewhere.
  files.AddFile("C:\\Windows\\evil.htm", "system");
  Retitle(0, "plain");
  ws.SaveBtnClick();
  EXPECT_FALSE(Script(evil));
  EXPECT_EQ(files.ReadFile("C:\\Windows\\evil.htm"), "system");
}

TEST_F(SaveLoadTest, BlanksAndQuotesSurviveTheBackupFile) {
  const std::vector<TSection> entries = {{"  lead", "trail  "},
                                         {"\"quoted\"", "'single'"},
                                         {"\tboth ", "\"half"},
                                         {"plain", "a \"mid\" b"}};
  Have(entries);
  ws.SaveBtnClick();
  ws.LoadBtnClick();
  EXPECT_EQ(ws.Model.Sections(), entries);
  // Values that need no quotes are written as they stand.
  EXPECT_NE(BackupFile()->find("3.Content=a \"mid\" b\r\n"), std::string::npos);
}

TEST_F(SaveLoadTest, AFolderTooDeepForItsFilesIsRefusedBeforeAnything) {
  const std::string deep = "C:\\" + std::string(240, 'd');
  files.AddFolder(deep);
  ws.Start(deep);
  Have({{"A", "a"}});
  const auto before = AllFiles();
  SaveExpectingError("Tavro cannot save in the folder " + deep + ":");
  EXPECT_TRUE(Subkeys().empty());
  EXPECT_EQ(AllFiles(), before);
  EXPECT_TRUE(ws.Model.Changed());

  const std::string fits = "C:\\" + std::string(200, 'f');
  files.AddFolder(fits);
  ws.Start(fits);
  Have({{std::string(100, 't'), "a"}});  // its script takes a shorter name
  ws.SaveBtnClick();
  EXPECT_EQ(Subkeys().size(), 1u);
}

// A lone CR or LF would end the value in the backup file, and an empty
// Title used to end the list there.
TEST_F(SaveLoadTest, EveryLineBreakAndAnEmptyTitleSurviveSaveAndLoad) {
  Have({{"", "untitled"}, {"Lone", "a\nb\rc\r"}, {"After", "x"}});
  ws.SaveBtnClick();
  const std::vector<TSection> back{
      {"", "untitled"}, {"Lone", "a\r\nb\r\nc\r\n"}, {"After", "x"}};
  ws.LoadBtnClick();
  EXPECT_EQ(ws.Model.Sections(), back);
  ws.Start(kWork);  // a restart reads the registry
  ws.LoadFromRegistry();
  EXPECT_EQ(ws.Model.Sections(), back);
}

TEST_F(SaveLoadTest, LoadReadsUpToTheFirstMissingTitle) {
  files.AddFile(kBackup,
                "[user]\r\n0.title= A \r\n0.Content=a\\r\\nb\r\n1.Title=B\r\n"
                "3.Title=D\r\n3.Content=d\r\n");
  ws.LoadBtnClick();
  EXPECT_EQ(ws.Model.Sections(),
            (std::vector<TSection>{{"A", "a\r\nb"}, {"B", ""}}));
  EXPECT_EQ(view.rows[0].subItems, (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(ws.Model.Changed());
  EXPECT_TRUE(ws.Model.DeleteSecs().empty());
}

TEST_F(SaveLoadTest, LoadCutsLongValues) {
  const std::string encoded = std::string(2000, 'x') + "\\r\\n" + "tail";
  files.AddFile(kBackup, "[User]\r\n0.Title=" + std::string(300, 't') +
                             "\r\n0.Content=" + encoded + "\r\n");
  ws.LoadBtnClick();
  ASSERT_EQ(ws.Model.Sections().size(), 1u);
  EXPECT_EQ(ws.Model.Sections()[0].Title, std::string(255, 't'));
  EXPECT_EQ(ws.Model.Sections()[0].Content, std::string(255, 'x'));
}

TEST_F(SaveLoadTest, AHugeContentIsWrittenOnlyAsFarAsLoadReads) {
  ws.Model.StartupFill({{"Big", std::string(40000, 'b')}});
  ws.SaveBtnClick();
  EXPECT_EQ(BackupFile(), "[User]\r\n0.Title=Big\r\n0.Content=" +
                              std::string(2047, 'b') + "\r\n");
  ws.LoadBtnClick();
  EXPECT_EQ(ws.Model.Sections(),
            (std::vector<TSection>{{"Big", std::string(255, 'b')}}));
}

// No file is a wrong folder or a lost file, and changes nothing; a file
// without entries empties the list, as it says.
TEST_F(SaveLoadTest, LoadWithoutBackupSaysSoAndKeepsTheList) {
  Have({{"A", "a"}});
  ws.SaveBtnClick();
  Have({{"B", "b"}});
  files.RemoveFile(kBackup);
  ws.LoadBtnClick();
  EXPECT_EQ(ws.Model.Sections(), (std::vector<TSection>{{"B", "b"}}));
  EXPECT_EQ(view.rows.size(), 1u);
  EXPECT_TRUE(ws.Model.Changed());
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].kind, ScriptedBoxes::Shown::Error);
  EXPECT_EQ(boxes.shown[0].text, "There is no backup file " + kBackup + ".");

  files.AddFile(kBackup, "[User]\r\n");
  ws.Model.SetChanged(false);
  ws.LoadBtnClick();
  EXPECT_TRUE(ws.Model.Sections().empty());
  EXPECT_TRUE(view.rows.empty());
  EXPECT_FALSE(ws.Model.Changed());
  EXPECT_EQ(boxes.shown.size(), 1u);
}

}  // namespace
}  // namespace tavro
