#include "ListViewRows.h"

#include <commctrl.h>

namespace tavro::win {

namespace {
// A cell is one line; a whole Content shows its breaks as blanks.
std::string CellText(const std::vector<std::string>& subItems) {
  if (subItems.empty()) return {};
  std::string text = subItems.front();
  std::string cell;
  cell.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      cell += ' ';
    } else {
      cell += text[i];
    }
  }
  return cell;
}

}  // namespace

int ListViewRows::RowCount() const {
  return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
}

int ListViewRows::SelectedRow() const {
  return static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM,
                                       static_cast<WPARAM>(-1),
                                       MAKELPARAM(LVNI_SELECTED, 0)));
}

void ListViewRows::AppendRow() {
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(subItems_.size());
  item.pszText = const_cast<char*>("");
  SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  subItems_.emplace_back();
}

void ListViewRows::SetRow(int row, const std::string& caption,
                          const std::vector<std::string>& subItems) {
  subItems_.at(static_cast<std::size_t>(row)) = subItems;
  const std::string cell = CellText(subItems);
  LVITEMA item{};
  item.pszText = const_cast<char*>(caption.c_str());
  SendMessageA(list_, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  item.iSubItem = 1;
  item.pszText = const_cast<char*>(cell.c_str());
  SendMessageA(list_, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

void ListViewRows::RemoveRow(int row) {
  SendMessageA(list_, LVM_DELETEITEM, row, 0);
  subItems_.erase(subItems_.begin() + row);
}

void ListViewRows::RemoveAllRows() {
  SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
  subItems_.clear();
}

void ListViewRows::FocusAndSelect(int row) {
  SetFocus(list_);
  // The focus mark too, so that the arrow keys go on from this row.
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
  SendMessageA(list_, LVM_ENSUREVISIBLE, row, FALSE);
}

void ListViewRows::BeginUpdate() {
  if (updates_++ == 0) SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
}

void ListViewRows::EndUpdate() {
  if (--updates_ > 0) return;
  SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

void ListViewRows::EnableSaveItem(bool enabled) {
  EnableMenuItem(menu_, saveItemId_,
                 MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

const std::vector<std::string>& ListViewRows::SubItems(int row) const {
  return subItems_.at(static_cast<std::size_t>(row));
}

}  // namespace tavro::win
