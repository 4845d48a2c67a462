// The records of the entry list, the removal log and the save snapshot.
#pragma once

#include <cstdint>
#include <string>

#include "Text.h"

namespace tavro {

struct TSection {
  std::string Title;
  std::string Content;  // may hold CR LF line breaks
  bool operator==(const TSection&) const = default;
};

// An entry that was deleted or retitled: its old script must go at the next
// save.
struct TDeleteSec {
  std::int32_t Index = 0;
  std::string Title;
  std::string Content;
  bool operator==(const TDeleteSec&) const = default;
};

// One entry as a save writes it: Content with its line breaks encoded.
struct TTempSec {
  std::string Title;
  std::string Content;
  bool operator==(const TTempSec&) const = default;
};

// An editor buffer: whatever goes in keeps only the whole characters of its
// first kBufferSize bytes.
class TEditBuffer {
 public:
  TEditBuffer& operator=(std::string_view text) {
    text_ = CutToBuffer(text);
    return *this;
  }
  const std::string& str() const { return text_; }
  bool empty() const { return text_.empty(); }
  void clear() { text_.clear(); }

 private:
  std::string text_;
};

// The messages that boxes show; a language file may replace each.
struct TMessages {
  std::string msgCloseQuery =
      "Some information has been changed! Do you still want to exit?";
  std::string msgDelete = "It will be deleted. Are you sure?";
  std::string msgDelFileError = "Something error when deleting files!";
  std::string msgUseTemplate = "Do you want to use the Template?";
  std::string msgCleanInfo = "Clean all the info now?";
  std::string msgBridgeOn =
      "Done. Load the extension from %s once in each browser; Help says how.";
  std::string msgBridgeOff = "Take Tavro's entries out of the other browsers?";
  std::string msgTypeOff =
      "Stop typing Tavro's entries into other programs? TavroType ends, and "
      "no longer starts when you log on.";
  std::string msgNoBackup = "There is no backup file %s.";
  std::string msgSaveUnfinished =
      "The last save did not finish. Restore the list from %s?";
  std::string msgSaveUnreadable =
      "The last save did not finish, and its backup file %s cannot be read. "
      "The list shown is what the menu holds.";
  std::string msgSaveMarkUnreadable =
      "The last save did not finish, and the menu key does not say where its "
      "backup file is. The list shown is what the menu holds.";
};

// The entry editor's texts; all empty until a language file is applied.
struct TEditFormCaption {
  std::string TitleGB;
  std::string ContentGB;
  std::string AddCaption;
  std::string EditCaption;
  std::string OKBtn;
  std::string CanelBtn;
  std::string msgEmpty;
};

}  // namespace tavro
