// Everything the main window's commands do, without the window: the entry
// model plus the stores it is saved to.
#pragma once

#include <string>
#include <vector>

#include "BrowserRegistration.h"
#include "EntryModel.h"
#include "FileSystem.h"
#include "Language.h"
#include "ProfileFile.h"
#include "Registration.h"
#include "TypeRegistration.h"

namespace tavro {

inline constexpr char kFolderTooDeep[] =
    "Tavro cannot save in the folder %s: the path of its files would be too "
    "long. Start Tavro in a folder with a shorter path";
inline constexpr char kBackupKept[] =
    "The backup file %s could not be replaced. It still holds the list of an "
    "earlier save, and Load would bring that list back.";

// A path a box quotes is cut to this: a box is as wide as its longest word.
inline constexpr std::size_t kQuotedPathBytes = 80;

// The platform as the workspace uses it.
struct Platform {
  Registry& registry;
  FileSystem& files;
  ProfileFile& profiles;
};

class TWorkspace {
 public:
  // programDir: the executable's folder, with its trailing backslash.
  TWorkspace(EntryView& view, MessageBoxes& boxes, Platform platform,
             std::string menuKey = kMenuExtKey, std::string programDir = "");

  TEntryModel Model;
  TMessages Messages;
  TEditFormCaption EditCaptions;
  std::string WorkDir;
  // Where Language.ini, the listed language files and the programs beside
  // Tavro.exe lie, with its trailing backslash.
  const std::string ProgramDir;
  std::vector<TTempSec> TempSecs;

  // First show: the work folder, an empty list, no unsaved changes.
  void Start(std::string workDir);
  // Throws the first unreadable marker's error after the list is filled.
  // After a save that did not finish, offers its backup instead.
  void LoadFromRegistry();
  // Empties the list and takes Tavro out of every browser's menu and
  // every program: the MenuExt items, the bridge to the other browsers and
  // TavroType's start at logon. False when nothing was done.
  bool CleanBtnClick();
  // Tools > Use in other browsers: turns the bridge on, saying where the
  // extension is, or off once the user confirms.
  void BrowsersItemClick();
  bool BridgeOn();
  // Tools > Type entries anywhere: registers TavroType.exe to start at
  // logon, or takes it out once the user confirms. The window starts or
  // ends the program itself.
  enum class TypeSwitch { Left, On, Off };
  TypeSwitch TypeItemClick();
  bool TypeOn();
  std::string TypeExePath() const { return typing_.ExePath(); }
  // Registry (when needed), backup file, removals, fill scripts; the first
  // error ends it and leaves the list unsaved.
  void SaveBtnClick();
  void WriteRegistryAndBackup(const std::vector<std::string>& scripts);
  void WriteScript(const std::string& path, const std::string& content);
  // Replaces the list by the backup file's; says so when there is none.
  void LoadBtnClick();
  // True when the window may close; may save first.
  bool FormCloseQuery();
  // Applies the chosen language file to the texts, the messages and the
  // editor's texts; false, after saying so, when no language is chosen.
  bool LoadLanguage(TFormTexts& form);
  // Replaces the list by the language file's templates, when confirmed.
  void TemplateItemClick();
  std::optional<std::string> HelpPage();

 private:
  EntryView& view_;
  MessageBoxes& boxes_;
  Platform platform_;
  MenuRegistration registration_;
  BrowserRegistration bridge_{platform_.registry, platform_.files, ProgramDir};
  TypeRegistration typing_{platform_.registry, platform_.files, ProgramDir};

  // True when the user took the backup's list.
  bool RestoreUnfinishedSave(const std::string& backupPath);
  // The chosen language's file; none, after saying so, when none is chosen.
  std::optional<std::string> ChosenLanguageFile();
};

}  // namespace tavro
