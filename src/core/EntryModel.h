// The entry list with its removal log, unsaved-changes flag and editor
// buffers, and the editing commands on it. Rows and the Save menu item are
// kept in step through EntryView.
#pragma once

#include <vector>

#include "Entries.h"
#include "EntryEditor.h"
#include "EntryView.h"
#include "MessageBoxes.h"

namespace tavro {

class TEntryModel {
 public:
  TEntryModel(EntryView& view, MessageBoxes& boxes);

  const std::vector<TSection>& Sections() const { return sections_; }
  const std::vector<TDeleteSec>& DeleteSecs() const { return deleteSecs_; }
  bool Changed() const { return changed_; }
  void SetChanged(bool changed) { changed_ = changed; }
  TEditBuffer EditTitle;
  TEditBuffer EditContent;

  // Entry i and its row take the buffers' texts; marks the list unsaved.
  void StoreSection(int i);

  void Add(EntryEditor& editor, const std::string& caption);
  void Edit(EntryEditor& editor, const std::string& caption);
  void Delete(const std::string& question);
  void Up();
  void Down();

  // Empties entries, log and rows.
  void Clear();
  // Empties entries and rows; the log stays.
  void RemoveAllEntries();
  // Replaces the list by entries that are cut to the buffers' size on the
  // way in; run after Clear.
  void Refill(std::vector<TSection> entries);
  // The start-up read: full texts, rows holding the whole Content.
  void StartupFill(std::vector<TSection> entries);

 private:
  void ShowRow(int i);
  void MoveSelected(int step);

  EntryView& view_;
  MessageBoxes& boxes_;
  std::vector<TSection> sections_;
  std::vector<TDeleteSec> deleteSecs_;
  bool changed_ = false;
};

void SwapStrings(std::string& a, std::string& b);

}  // namespace tavro
