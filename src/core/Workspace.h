// Everything the main window's commands do, without the window: the entry
// model plus the stores it is saved to.
#pragma once

#include <string>
#include <vector>

#include "EntryModel.h"
#include "Registration.h"

namespace tavro {

class TWorkspace {
 public:
  TWorkspace(EntryView& view, MessageBoxes& boxes, Registry& registry,
             std::string menuKey = kMenuExtKey);

  TEntryModel Model;
  TMessages Messages;
  TEditFormCaption EditCaptions;
  std::string WorkDir;
  std::vector<TTempSec> TempSecs;

  // First show: the work folder, an empty list, no unsaved changes.
  void Start(std::string workDir);
  // Throws the first unreadable marker's error after the list is filled.
  void LoadFromRegistry();
  void CleanBtnClick();
  void SaveBtnClick();
  void WriteRegistryAndBackup();
  // True when the window may close; may save first.
  bool FormCloseQuery();

 private:
  EntryView& view_;
  MessageBoxes& boxes_;
  MenuRegistration registration_;
};

}  // namespace tavro
