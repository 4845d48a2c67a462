#include "MemoryEntryView.h"

namespace tavro {

void MemoryEntryView::RemoveRow(int row) {
  rows.erase(rows.begin() + row);
  // The list view drops the selection with the selected row and keeps any
  // other selected row, which moves up with the rows below it.
  if (selected == row)
    selected = -1;
  else if (selected > row)
    --selected;
}

}  // namespace tavro
