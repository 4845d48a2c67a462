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
  // Rows changed in between are drawn once, at the end: a list redrawn row
  // by row took most of a second to fill with a thousand entries.
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}
};

// Holds the view's drawing for a scope.
class ViewUpdate {
 public:
  explicit ViewUpdate(EntryView& view) : view_(view) { view_.BeginUpdate(); }
  ~ViewUpdate() { view_.EndUpdate(); }
  ViewUpdate(const ViewUpdate&) = delete;
  ViewUpdate& operator=(const ViewUpdate&) = delete;

 private:
  EntryView& view_;
};

}  // namespace tavro
