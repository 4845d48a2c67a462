// The same cases against the in-memory rows and, on Windows, against the
// real list view: the fake must behave as the list view does.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "MemoryEntryView.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <chrono>

#include "ListViewReader.h"
#include "ListViewRows.h"
#include "Watchdog.h"
#endif

namespace tavro::test {
namespace {

using Lines = std::vector<std::string>;

class RowViewBackend {
 public:
  virtual ~RowViewBackend() = default;
  virtual EntryView& view() = 0;
  virtual std::string Caption(int row) = 0;
  virtual Lines SubItems(int row) = 0;
  virtual void Select(int row) = 0;
  virtual void FocusElsewhere() = 0;
  virtual bool ListHasFocus() = 0;
  virtual bool SaveItemEnabled() = 0;
};

class MemoryBackend : public RowViewBackend {
 public:
  EntryView& view() override { return rows_; }
  std::string Caption(int row) override { return rows_.rows.at(row).caption; }
  Lines SubItems(int row) override { return rows_.rows.at(row).subItems; }
  void Select(int row) override { rows_.Select(row); }
  void FocusElsewhere() override { rows_.focused = false; }
  bool ListHasFocus() override { return rows_.focused; }
  bool SaveItemEnabled() override { return rows_.saveItemEnabled; }

 private:
  MemoryEntryView rows_;
};

#ifdef _WIN32
// A window holding a list view styled as the main window's, a button to
// take the focus away, and a menu with the Save item.
class ListViewBackend : public RowViewBackend {
 public:
  ListViewBackend() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    menu_ = CreateMenu();
    AppendMenuA(menu_, MF_STRING, kSaveItem, "&Save");
    window_ = CreateWindowExA(0, "STATIC", "rows", WS_OVERLAPPEDWINDOW, 0, 0,
                              300, 200, nullptr, menu_, nullptr, nullptr);
    list_ = CreateWindowExA(
        0, WC_LISTVIEWA, "",
        WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
        0, 0, 300, 150, window_, nullptr, nullptr, nullptr);
    other_ = CreateWindowExA(0, "BUTTON", "other", WS_CHILD | WS_VISIBLE, 0,
                             150, 80, 20, window_, nullptr, nullptr, nullptr);
    for (int i = 0; i < 2; ++i) {
      LVCOLUMNA column{};
      column.mask = LVCF_WIDTH;
      column.cx = 100;
      SendMessageA(list_, LVM_INSERTCOLUMNA, i,
                   reinterpret_cast<LPARAM>(&column));
    }
    ShowWindow(window_, SW_SHOW);
    rows_ = std::make_unique<win::ListViewRows>(list_, menu_, kSaveItem);
  }
  ~ListViewBackend() override { DestroyWindow(window_); }

  EntryView& view() override { return *rows_; }
  std::string Caption(int row) override { return ItemText(list_, row, 0); }
  Lines SubItems(int row) override { return rows_->SubItems(row); }
  void Select(int row) override { SelectRow(list_, row); }
  void FocusElsewhere() override { SetFocus(other_); }
  bool ListHasFocus() override { return GetFocus() == list_; }
  bool SaveItemEnabled() override { return MenuItemEnabled(menu_, kSaveItem); }

 private:
  static constexpr UINT kSaveItem = 1;
  Watchdog watchdog_{"list view rows", std::chrono::seconds(10)};
  HMENU menu_;  // owned by the window
  HWND window_;
  HWND list_;
  HWND other_;
  std::unique_ptr<win::ListViewRows> rows_;
};
#endif

struct Backend {
  const char* name;
  std::unique_ptr<RowViewBackend> (*make)();
};

void PrintTo(const Backend& backend, std::ostream* out) {
  *out << backend.name;
}

class RowViewContract : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override { backend_ = GetParam().make(); }

  EntryView& view() { return backend_->view(); }
  RowViewBackend& rows() { return *backend_; }
  // Rows A, B, C, ... with one sub-item each.
  void Fill(int count) {
    for (int i = 0; i < count; ++i) {
      view().AppendRow();
      const std::string name(1, static_cast<char>('A' + i));
      view().SetRow(i, name, {name + name});
    }
  }
  std::string Captions() {
    std::string captions;
    for (int i = 0; i < view().RowCount(); ++i) captions += rows().Caption(i);
    return captions;
  }

  std::unique_ptr<RowViewBackend> backend_;
};

TEST_P(RowViewContract, AppendedRowsTakeCaptionsAndSubItems) {
  for (int i = 0; i < 3; ++i) view().AppendRow();
  EXPECT_EQ(rows().Caption(2), "");
  EXPECT_EQ(rows().SubItems(2), Lines{});
  view().SetRow(0, "A", {"a1", "a2"});
  view().SetRow(1, "B", {});
  view().SetRow(2, "C", {"c1\r\nc2"});
  view().SetRow(1, "B2", {"b"});
  EXPECT_EQ(view().RowCount(), 3);
  EXPECT_EQ(Captions(), "AB2C");
  EXPECT_EQ(rows().SubItems(0), (Lines{"a1", "a2"}));
  EXPECT_EQ(rows().SubItems(1), Lines{"b"});
  EXPECT_EQ(rows().SubItems(2), Lines{"c1\r\nc2"});
  EXPECT_EQ(view().SelectedRow(), -1);
}

TEST_P(RowViewContract, RemovingTheSelectedRowLeavesNoneSelected) {
  Fill(4);
  rows().Select(2);
  view().RemoveRow(2);
  EXPECT_EQ(Captions(), "ABD");
  EXPECT_EQ(rows().SubItems(2), Lines{"DD"});
  EXPECT_EQ(view().SelectedRow(), -1);
}

TEST_P(RowViewContract, TheSelectionStaysWithItsRowWhenOthersGo) {
  Fill(4);
  rows().Select(2);
  view().RemoveRow(0);  // above: the selected row moves up
  EXPECT_EQ(view().SelectedRow(), 1);
  view().RemoveRow(2);  // below
  EXPECT_EQ(view().SelectedRow(), 1);
  EXPECT_EQ(Captions(), "BC");
}

TEST_P(RowViewContract, FocusAndSelectLeavesOneRowSelectedAndFocusesTheList) {
  Fill(3);
  rows().Select(0);
  rows().FocusElsewhere();
  ASSERT_FALSE(rows().ListHasFocus());
  view().FocusAndSelect(2);
  EXPECT_EQ(view().SelectedRow(), 2);
  EXPECT_TRUE(rows().ListHasFocus());
  view().RemoveRow(2);
  EXPECT_EQ(view().SelectedRow(), -1);  // none other was left selected
}

TEST_P(RowViewContract, RemoveAllRowsEmptiesTheListAndItsSelection) {
  Fill(3);
  rows().Select(1);
  view().RemoveAllRows();
  EXPECT_EQ(view().RowCount(), 0);
  EXPECT_EQ(view().SelectedRow(), -1);
  Fill(1);
  EXPECT_EQ(view().SelectedRow(), -1);
  EXPECT_EQ(rows().SubItems(0), Lines{"AA"});
}

TEST_P(RowViewContract, TheSaveItemStartsEnabledAndFollowsEnableSaveItem) {
  EXPECT_TRUE(rows().SaveItemEnabled());
  view().EnableSaveItem(false);
  EXPECT_FALSE(rows().SaveItemEnabled());
  view().EnableSaveItem(false);
  EXPECT_FALSE(rows().SaveItemEnabled());
  view().EnableSaveItem(true);
  EXPECT_TRUE(rows().SaveItemEnabled());
}

std::unique_ptr<RowViewBackend> MakeMemory() {
  return std::make_unique<MemoryBackend>();
}
#ifdef _WIN32
std::unique_ptr<RowViewBackend> MakeListView() {
  return std::make_unique<ListViewBackend>();
}
#endif

const Backend kBackends[] = {
    {"Memory", &MakeMemory},
#ifdef _WIN32
    {"ListView", &MakeListView},
#endif
};
INSTANTIATE_TEST_SUITE_P(, RowViewContract, ::testing::ValuesIn(kBackends),
                         [](const auto& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace tavro::test
