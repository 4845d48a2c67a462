// The entry rows in a report-style list view, and the Save menu item.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "EntryView.h"

namespace tavro::win {

class ListViewRows : public EntryView {
 public:
  ListViewRows() = default;
  ListViewRows(HWND listView, HMENU menu, UINT saveItemId) {
    Attach(listView, menu, saveItemId);
  }
  // The list view and the Save item, once their window has made them.
  void Attach(HWND listView, HMENU menu, UINT saveItemId) {
    list_ = listView;
    menu_ = menu;
    saveItemId_ = saveItemId;
  }

  int RowCount() const override;
  int SelectedRow() const override;
  void AppendRow() override;
  void SetRow(int row, const std::string& caption,
              const std::vector<std::string>& subItems) override;
  void RemoveRow(int row) override;
  void RemoveAllRows() override;
  void FocusAndSelect(int row) override;
  void EnableSaveItem(bool enabled) override;
  void BeginUpdate() override;
  void EndUpdate() override;

  // The lines behind a row's second column, which shows the first.
  const std::vector<std::string>& SubItems(int row) const;

 private:
  HWND list_ = nullptr;
  HMENU menu_ = nullptr;
  UINT saveItemId_ = 0;
  std::vector<std::vector<std::string>> subItems_;
  int updates_ = 0;  // nested BeginUpdate calls
};

}  // namespace tavro::win
