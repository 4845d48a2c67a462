// Rows and Save menu item in memory, held to the real list view by the row
// view contract tests.
#pragma once

#include <string>
#include <vector>

#include "EntryView.h"

namespace tavro {

class MemoryEntryView : public EntryView {
 public:
  struct Row {
    std::string caption;
    std::vector<std::string> subItems;
    bool operator==(const Row&) const = default;
  };

  int RowCount() const override { return static_cast<int>(rows.size()); }
  int SelectedRow() const override { return selected; }
  void AppendRow() override { rows.emplace_back(); }
  void SetRow(int row, const std::string& caption,
              const std::vector<std::string>& subItems) override {
    rows.at(static_cast<std::size_t>(row)) = {caption, subItems};
  }
  void RemoveRow(int row) override;
  void RemoveAllRows() override {
    rows.clear();
    selected = -1;
  }
  void FocusAndSelect(int row) override {
    selected = row;
    focused = true;
  }
  void EnableSaveItem(bool enabled) override { saveItemEnabled = enabled; }

  void Select(int row) { selected = row; }

  std::vector<Row> rows;
  int selected = -1;
  bool focused = false;
  bool saveItemEnabled = true;
};

}  // namespace tavro
