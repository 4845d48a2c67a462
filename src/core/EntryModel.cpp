#include "EntryModel.h"

#include <utility>

namespace tavro {

void SwapStrings(std::string& a, std::string& b) { std::swap(a, b); }

TEntryModel::TEntryModel(EntryView& view, MessageBoxes& boxes)
    : view_(view), boxes_(boxes) {}

void TEntryModel::ShowRow(int i) {
  const TSection& entry = sections_[static_cast<std::size_t>(i)];
  view_.SetRow(i, entry.Title, SplitLines(entry.Content));
}

void TEntryModel::StoreSection(int i) {
  changed_ = true;
  TSection& entry = sections_.at(static_cast<std::size_t>(i));
  entry.Title = EditTitle.str();
  entry.Content = EditContent.str();
  ShowRow(i);
  view_.EnableSaveItem(true);
}

void TEntryModel::Add(EntryEditor& editor, const std::string& caption) {
  EditTitle.clear();
  EditContent.clear();
  editor.Run(caption, false, EditTitle, EditContent);
  if (EditTitle.empty() || EditContent.empty()) return;
  sections_.emplace_back();
  view_.AppendRow();
  StoreSection(static_cast<int>(sections_.size()) - 1);
}

void TEntryModel::Edit(EntryEditor& editor, const std::string& caption) {
  const int i = view_.SelectedRow();
  if (i < 0) return;
  const TSection& entry = sections_.at(static_cast<std::size_t>(i));
  EditTitle = entry.Title;
  EditContent = entry.Content;
  // Compare with what the dialog was given, not with the entry: a Cancel on
  // an entry longer than the buffers must not cut it.
  const std::string givenTitle = EditTitle.str();
  const std::string givenContent = EditContent.str();
  editor.Run(caption, true, EditTitle, EditContent);
  if (EditTitle.str() == givenTitle && EditContent.str() == givenContent)
    return;
  if (EditTitle.str() != entry.Title)
    deleteSecs_.push_back({i, entry.Title, entry.Content});
  StoreSection(i);
}

void TEntryModel::Delete(const std::string& question) {
  const int i = view_.SelectedRow();
  if (i < 0) return;
  if (boxes_.AskYesNo(question) != Answer::Yes) return;
  changed_ = true;
  const auto at = sections_.begin() + i;
  deleteSecs_.push_back({i, at->Title, at->Content});
  sections_.erase(at);
  view_.RemoveRow(i);
  view_.EnableSaveItem(true);
}

void TEntryModel::MoveSelected(int step) {
  const int i = view_.SelectedRow();
  const int j = i + step;
  if (i < 0 || j < 0 || j >= static_cast<int>(sections_.size())) return;
  TSection& a = sections_[static_cast<std::size_t>(i)];
  TSection& b = sections_[static_cast<std::size_t>(j)];
  SwapStrings(a.Title, b.Title);
  SwapStrings(a.Content, b.Content);
  ShowRow(std::min(i, j));
  ShowRow(std::max(i, j));
  changed_ = true;
  // The Save item follows the flag, so that Ctrl+S saves a reorder too.
  view_.EnableSaveItem(true);
  view_.FocusAndSelect(j);
}

void TEntryModel::Up() { MoveSelected(-1); }
void TEntryModel::Down() { MoveSelected(+1); }

void TEntryModel::Clear() {
  RemoveAllEntries();
  deleteSecs_.clear();
}

void TEntryModel::RemoveAllEntries() {
  ViewUpdate update(view_);
  sections_.clear();
  view_.RemoveAllRows();
}

void TEntryModel::Refill(std::vector<TSection> entries) {
  ViewUpdate update(view_);
  sections_ = std::move(entries);
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    view_.AppendRow();
    EditTitle = sections_[i].Title;
    EditContent = sections_[i].Content;
    StoreSection(static_cast<int>(i));
  }
}

void TEntryModel::StartupFill(std::vector<TSection> entries) {
  ViewUpdate update(view_);
  sections_ = std::move(entries);
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    view_.AppendRow();
    view_.SetRow(static_cast<int>(i), sections_[i].Title,
                 {sections_[i].Content});
  }
}

}  // namespace tavro
