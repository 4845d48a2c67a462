// What the entry model sees of the main window: the rows of the list and
// the Save menu item.
#pragma once

#include <string>
#include <vector>

namespace tavro {

class EntryView {
 public:
  virtual ~EntryView() = default;
  virtual int RowCount() const = 0;
  virtual int SelectedRow() const = 0;  // -1 when no row is selected
  virtual void AppendRow() = 0;
  virtual void SetRow(int row, const std::string& caption,
                      const std::vector<std::string>& subItems) = 0;
  virtual void RemoveRow(int row) = 0;
  virtual void RemoveAllRows() = 0;
  // Gives the list the keyboard focus and selects the row.
  virtual void FocusAndSelect(int row) = 0;
  virtual void EnableSaveItem(bool enabled) = 0;
};

}  // namespace tavro
