#include "EntryModel.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include "MemoryEntryView.h"
#include "ScriptedBoxes.h"

namespace tavro {
namespace {

// Confirms with `answer`, or cancels when there is none; records what it
// was handed.
class ScriptedEditor : public EntryEditor {
 public:
  void Run(const std::string& caption, bool fillFields, TEditBuffer& title,
           TEditBuffer& content) override {
    this->caption = caption;
    this->fillFields = fillFields;
    given = {title.str(), content.str()};
    ++runs;
    if (!answer) return;
    title = answer->Title;
    content = answer->Content;
  }

  std::optional<TSection> answer;
  std::string caption;
  bool fillFields = false;
  TSection given;
  int runs = 0;
};

using Row = MemoryEntryView::Row;
using Sections = std::vector<TSection>;
using FlagPair = std::pair<bool, bool>;
const FlagPair kOn{true, true}, kOff{false, false};

class EntryModelTest : public ::testing::Test {
 protected:
  void Add(std::optional<TSection> answer) {
    editor.answer = std::move(answer);
    model.Add(editor, "Add");
  }
  void Edit(std::optional<TSection> answer) {
    editor.answer = std::move(answer);
    model.Edit(editor, "Edit");
  }
  // Changed and the Save item: Settle() turns both off, so that a command
  // that does nothing can be seen to leave them.
  void Settle() {
    model.SetChanged(false);
    view.saveItemEnabled = false;
  }
  FlagPair Flags() const { return {model.Changed(), view.saveItemEnabled}; }

  MemoryEntryView view;
  ScriptedBoxes boxes;
  TEntryModel model{view, boxes};
  ScriptedEditor editor;
};

TEST_F(EntryModelTest, AddAppendsOnlyConfirmedEntries) {
  Settle();
  Add(std::nullopt);
  EXPECT_TRUE(view.rows.empty());
  EXPECT_EQ(Flags(), kOff);

  Add(TSection{"First", "one"});
  view.Select(0);
  model.EditTitle = "stale";
  Add(TSection{"Second", "a\r\nb"});
  EXPECT_EQ(editor.caption, "Add");
  EXPECT_FALSE(editor.fillFields);
  EXPECT_EQ(editor.given, (TSection{"", ""}));
  EXPECT_EQ(model.Sections(),
            (Sections{{"First", "one"}, {"Second", "a\r\nb"}}));
  EXPECT_EQ(view.rows[1], (Row{"Second", {"a", "b"}}));
  EXPECT_EQ(Flags(), kOn);
}

TEST_F(EntryModelTest, TextsAreCutToTheBuffers) {
  Add(TSection{std::string(300, 't'), std::string(300, 'c')});
  EXPECT_EQ(model.Sections()[0],
            (TSection{std::string(255, 't'), std::string(255, 'c')}));
  // The cut falls between CR and LF and keeps the lone CR.
  Add(TSection{"T", std::string(254, 'x') + "\r\nyy"});
  EXPECT_EQ(model.Sections()[1].Content, std::string(254, 'x') + "\r");
  EXPECT_EQ(view.rows[1].subItems,
            std::vector<std::string>{std::string(254, 'x')});
}

TEST_F(EntryModelTest, EditOfContentStoresWithoutRecord) {
  Add(TSection{"Name", "old"});
  Settle();
  Edit(TSection{"Other", "x"});  // no selection: no dialog
  EXPECT_EQ(editor.runs, 1);
  view.Select(0);
  Edit(TSection{"Name", "new\r\n\r\nlast"});
  EXPECT_EQ(editor.caption, "Edit");
  EXPECT_TRUE(editor.fillFields);
  EXPECT_EQ(editor.given, (TSection{"Name", "old"}));
  EXPECT_EQ(view.rows[0], (Row{"Name", {"new", "", "last"}}));
  EXPECT_TRUE(model.DeleteSecs().empty());
  EXPECT_EQ(Flags(), kOn);
}

TEST_F(EntryModelTest, EditKeepsLongStartupContentUnlessChanged) {
  const std::string content =
      std::string(200, 'a') + "\r\n" + std::string(100, 'b');
  const std::string cut = content.substr(0, 255);
  model.StartupFill({{"Long", content}});
  view.Select(0);
  Settle();
  Edit(std::nullopt);
  EXPECT_EQ(editor.given.Content, cut);
  Edit(TSection{"Long", cut});  // OK hands back what it was given
  EXPECT_EQ(model.Sections()[0].Content, content);
  EXPECT_EQ(view.rows[0], (Row{"Long", {content}}));
  EXPECT_EQ(Flags(), kOff);

  Edit(TSection{"Renamed", cut});
  EXPECT_EQ(model.DeleteSecs(),
            (std::vector<TDeleteSec>{{0, "Long", content}}));
  EXPECT_EQ(model.Sections()[0], (TSection{"Renamed", cut}));
}

TEST_F(EntryModelTest, EveryTitleChangeIsRecorded) {
  Add(TSection{"Other", "x"});
  Add(TSection{"Mail", "m"});
  view.Select(1);
  Edit(TSection{"mail", "m"});  // case alone counts
  Edit(TSection{"B", "m"});
  Edit(TSection{"mail", "m"});
  Edit(TSection{"Other", "m"});  // duplicates are allowed
  EXPECT_EQ(model.DeleteSecs(), (std::vector<TDeleteSec>{{1, "Mail", "m"},
                                                         {1, "mail", "m"},
                                                         {1, "B", "m"},
                                                         {1, "mail", "m"}}));
  EXPECT_EQ(model.Sections(), (Sections{{"Other", "x"}, {"Other", "m"}}));
}

TEST_F(EntryModelTest, DeleteRemovesSelectedEntryOnYes) {
  for (const char* t : {"A", "B", "C"}) Add(TSection{t, t});
  Settle();
  model.Delete("Sure?");  // no selection: not even asked
  EXPECT_TRUE(boxes.shown.empty());
  view.Select(1);
  boxes.answers = {Answer::No};
  model.Delete("Sure?");
  EXPECT_EQ(model.Sections().size(), 3u);
  EXPECT_TRUE(model.DeleteSecs().empty());
  EXPECT_EQ(Flags(), kOff);

  boxes.answers = {Answer::Yes};
  model.Delete("Sure?");
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].text, "Sure?");
  EXPECT_EQ(view.rows, (std::vector<Row>{{"A", {"A"}}, {"C", {"C"}}}));
  EXPECT_EQ(model.DeleteSecs(), (std::vector<TDeleteSec>{{1, "B", "B"}}));
  EXPECT_EQ(Flags(), kOn);
}

TEST_F(EntryModelTest, UpAndDownSwapWithNeighbourAndFollowIt) {
  model.StartupFill({{"A", "a1\r\na2"}, {"B", "b"}, {"C", "c1\r\nc2"}});
  Settle();
  const std::vector<Row> rows = view.rows;
  model.Up();  // no selection
  model.Down();
  view.Select(0);
  model.Up();
  view.Select(2);
  model.Down();
  EXPECT_EQ(view.rows, rows);
  EXPECT_EQ(Flags(), kOff);

  view.Select(1);
  model.Up();
  EXPECT_EQ(model.Sections(),
            (Sections{{"B", "b"}, {"A", "a1\r\na2"}, {"C", "c1\r\nc2"}}));
  // The two rows are rewritten in lines form; the third keeps its form.
  EXPECT_EQ(view.rows,
            (std::vector<Row>{
                {"B", {"b"}}, {"A", {"a1", "a2"}}, {"C", {"c1\r\nc2"}}}));
  EXPECT_EQ(view.selected, 0);
  EXPECT_TRUE(view.focused);
  EXPECT_EQ(Flags(), kOn);

  model.Down();
  EXPECT_EQ(model.Sections()[1], (TSection{"B", "b"}));
  EXPECT_EQ(view.selected, 1);
  EXPECT_TRUE(model.DeleteSecs().empty());
}

TEST_F(EntryModelTest, RefillCutsEntriesAndMarksThemUnsaved) {
  Settle();
  model.Refill({});
  EXPECT_EQ(Flags(), kOff);

  model.Refill({{std::string(300, 't'), "x\r\ny"}, {"Dup", "1"}, {"Dup", "2"}});
  EXPECT_EQ(model.Sections()[0].Title, std::string(255, 't'));
  EXPECT_EQ(view.rows.size(), 3u);
  EXPECT_EQ(view.rows[0].subItems, (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(Flags(), kOn);
}

}  // namespace
}  // namespace tavro
