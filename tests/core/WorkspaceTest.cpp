#include "Workspace.h"

#include <gtest/gtest.h>

#include "Errors.h"
#include "FakeWorkspaceTest.h"

namespace tavro {
namespace {

const std::string kKey = kMenuExtKey;
using Row = MemoryEntryView::Row;

class WorkspaceTest : public FakeWorkspaceTest {
 protected:
  void SetUp() override {
    Mark("00.A", "a1\\r\\na2");
    Mark("01.B", "b");
    registry.SetRawValue(kKey + "Foreign", "", MemoryRegistry::kSz, "res://x");
    files.AddFolder("C:\\W");
    ws.Start("C:\\W");
    ws.LoadFromRegistry();
  }
  void Mark(const std::string& name, const std::string& content,
            std::uint32_t type = MemoryRegistry::kSz) {
    registry.SetRawValue(kKey + name, kMarkerValue, type, content);
  }
  std::string Marker(const std::string& name) {
    auto raw = registry.GetRawValue(kKey + name, kMarkerValue);
    return raw ? raw->bytes : "<missing>";
  }
  bool Has(const std::string& name) { return registry.KeyExists(kKey + name); }
  void DeleteFirst() {
    view.Select(0);
    boxes.answers.push_back(Answer::Yes);
    ws.Model.Delete(ws.Messages.msgDelete);
  }
};

TEST_F(WorkspaceTest, StartupReadFillsWholeFormRows) {
  EXPECT_EQ(ws.WorkDir, "C:\\W");
  EXPECT_EQ(view.rows, (std::vector<Row>{{"A", {"a1\r\na2"}}, {"B", {"b"}}}));
  EXPECT_FALSE(ws.Model.Changed());
  EXPECT_TRUE(view.saveItemEnabled);

  DeleteFirst();  // a second start begins from an empty list and log
  ws.Start("D:\\");
  EXPECT_TRUE(ws.Model.Sections().empty());
  EXPECT_TRUE(ws.Model.DeleteSecs().empty());
  EXPECT_FALSE(ws.Model.Changed());
}

TEST_F(WorkspaceTest, UnreadableMarkerStillFillsEveryRow) {
  Mark("02.Bin", "\x01", MemoryRegistry::kBinary);
  Mark("03.C", "c");
  ws.Start("C:\\W");
  try {
    ws.LoadFromRegistry();
    FAIL() << "expected the unreadable marker to be reported";
  } catch (const TavroError& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'Tavro'");
  }
  EXPECT_EQ(ws.Model.Sections().size(), 4u);
  ASSERT_EQ(view.rows.size(), 4u);
  EXPECT_EQ(view.rows[2], (Row{"Bin", {""}}));
}

TEST_F(WorkspaceTest, UninstallAsksBeforePurging) {
  ws.Start("C:\\W");  // no rows, although the registry is full
  ws.CleanBtnClick();
  EXPECT_TRUE(boxes.shown.empty());
  ws.LoadFromRegistry();
  DeleteFirst();
  boxes.shown.clear();
  boxes.answers = {Answer::No, Answer::Yes};
  ws.CleanBtnClick();
  EXPECT_TRUE(Has("00.A"));
  EXPECT_EQ(view.rows.size(), 1u);
  EXPECT_TRUE(ws.Model.Changed());

  ws.CleanBtnClick();
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].text, ws.Messages.msgCleanInfo);
  EXPECT_FALSE(Has("00.A") || Has("01.B"));
  EXPECT_TRUE(Has("Foreign"));
  EXPECT_TRUE(ws.Model.Sections().empty());
  EXPECT_TRUE(view.rows.empty());
  EXPECT_EQ(ws.Model.DeleteSecs().size(), 1u);
  EXPECT_FALSE(ws.Model.Changed());
  EXPECT_FALSE(view.saveItemEnabled);
}

TEST_F(WorkspaceTest, BridgeGoesOnSayingWhereTheExtensionIsAndOffWhenAsked) {
  EXPECT_THROW(ws.BrowsersItemClick(), TavroError);  // no TavroHost.exe
  EXPECT_FALSE(ws.BridgeOn());
  files.AddFile("C:\\Program\\TavroHost.exe", "MZ");
  ws.BrowsersItemClick();
  EXPECT_TRUE(ws.BridgeOn());
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].kind, ScriptedBoxes::Shown::Info);
  EXPECT_NE(boxes.shown[0].text.find(" C:\\Program\\extension once"),
            std::string::npos);

  boxes.answers = {Answer::No, Answer::Yes};
  ws.BrowsersItemClick();
  EXPECT_TRUE(ws.BridgeOn());
  ws.BrowsersItemClick();
  EXPECT_FALSE(ws.BridgeOn());
  EXPECT_EQ(boxes.shown.back().text, ws.Messages.msgBridgeOff);

  // Uninstall takes the bridge too, even with nothing in the list.
  ws.BrowsersItemClick();
  ws.Start("C:\\W");
  boxes.answers = {Answer::Yes};
  ws.CleanBtnClick();
  EXPECT_EQ(boxes.shown.back().text, ws.Messages.msgCleanInfo);
  EXPECT_FALSE(ws.BridgeOn());
  EXPECT_FALSE(Has("00.A"));
}

TEST_F(WorkspaceTest, TypingGoesOnWithTheQuotedPathAndOffWhenAsked) {
  const std::string run = kRunKey;
  registry.SetRawValue(run, "Other", MemoryRegistry::kSz, "other.exe");
  // A folder with a blank: the Run value must quote it.
  TWorkspace ws{view,
                boxes,
                {registry, files, profiles},
                kMenuExtKey,
                "C:\\Program Files\\Tavro\\"};
  EXPECT_THROW(ws.TypeItemClick(), TavroError);  // no TavroType.exe
  EXPECT_FALSE(ws.TypeOn());
  files.AddFile("C:\\Program Files\\Tavro\\TavroType.exe", "MZ");
  EXPECT_EQ(ws.TypeItemClick(), TWorkspace::TypeSwitch::On);
  const auto value = registry.GetRawValue(run, kRunValue);
  ASSERT_TRUE(value);
  EXPECT_EQ(value->bytes, "\"C:\\Program Files\\Tavro\\TavroType.exe\"");
  EXPECT_TRUE(ws.TypeOn());
  EXPECT_TRUE(boxes.shown.empty());

  boxes.answers = {Answer::No, Answer::Yes};
  EXPECT_EQ(ws.TypeItemClick(), TWorkspace::TypeSwitch::Left);
  EXPECT_TRUE(ws.TypeOn());
  EXPECT_EQ(ws.TypeItemClick(), TWorkspace::TypeSwitch::Off);
  EXPECT_EQ(boxes.shown.back().text, ws.Messages.msgTypeOff);
  EXPECT_FALSE(registry.GetRawValue(run, kRunValue));
  EXPECT_TRUE(registry.GetRawValue(run, "Other"));

  // A value from a folder Tavro has left is off here; Uninstall takes it.
  registry.SetRawValue(run, kRunValue, MemoryRegistry::kSz,
                       std::string("\"D:\\Old\\TavroType.exe\"") + '\0');
  EXPECT_FALSE(ws.TypeOn());
  ws.TypeItemClick();
  ws.Start("C:\\W");
  boxes.answers = {Answer::Yes};
  EXPECT_TRUE(ws.CleanBtnClick());
  EXPECT_FALSE(registry.GetRawValue(run, kRunValue));
  EXPECT_FALSE(ws.CleanBtnClick());  // nothing left to ask about
}

TEST_F(WorkspaceTest, SaveRewritesRegistryFromEncodedSnapshot) {
  view.Select(0);
  ws.Model.Down();
  ws.SaveBtnClick();
  EXPECT_EQ(ws.TempSecs,
            (std::vector<TTempSec>{{"B", "b"}, {"A", "a1\\r\\na2"}}));
  EXPECT_FALSE(Has("00.A"));
  EXPECT_EQ(Marker("01.A"), "a1\\r\\na2");
  EXPECT_EQ(Marker("00.B"), "b");
  EXPECT_FALSE(ws.Model.Changed());
  EXPECT_FALSE(view.saveItemEnabled);
}

TEST_F(WorkspaceTest, FailedSaveLeavesChangedAndSaveItem) {
  DeleteFirst();
  registry.RefuseWritesAfter(1);
  EXPECT_THROW(ws.SaveBtnClick(), TavroError);
  EXPECT_TRUE(ws.Model.Changed());
  EXPECT_TRUE(view.saveItemEnabled);
}

TEST_F(WorkspaceTest, CloseQuestion) {
  EXPECT_TRUE(ws.FormCloseQuery());  // nothing changed: nothing asked
  EXPECT_TRUE(boxes.shown.empty());

  DeleteFirst();
  boxes.shown.clear();
  boxes.answers = {Answer::Cancel, Answer::No, Answer::NotShown};
  EXPECT_FALSE(ws.FormCloseQuery());
  EXPECT_TRUE(ws.FormCloseQuery());
  EXPECT_TRUE(ws.FormCloseQuery());
  ASSERT_EQ(boxes.shown.size(), 3u);
  EXPECT_EQ(boxes.shown[0].kind, ScriptedBoxes::Shown::YesNoCancel);
  EXPECT_EQ(boxes.shown[0].text, ws.Messages.msgCloseQuery);
  EXPECT_TRUE(ws.Model.Changed());
  EXPECT_TRUE(Has("00.A"));  // nothing saved

  registry.RefuseWritesAfter(0);
  boxes.answers = {Answer::Yes};
  EXPECT_THROW(ws.FormCloseQuery(), TavroError);
  EXPECT_TRUE(ws.Model.Changed());

  registry.RefuseWritesAfter(-1);
  boxes.answers = {Answer::Yes};
  EXPECT_TRUE(ws.FormCloseQuery());
  EXPECT_FALSE(ws.Model.Changed());
  EXPECT_TRUE(Has("00.B"));
}

}  // namespace
}  // namespace tavro
