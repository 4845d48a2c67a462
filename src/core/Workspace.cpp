#include "Workspace.h"

#include "Backup.h"
#include "CodePage.h"
#include "Errors.h"
#include "FillScript.h"
#include "LineBreaks.h"
#include "Paths.h"

namespace tavro {

TWorkspace::TWorkspace(EntryView& view, MessageBoxes& boxes, Platform platform,
                       std::string menuKey, std::string programDir)
    : Model(view, boxes),
      ProgramDir(std::move(programDir)),
      view_(view),
      boxes_(boxes),
      platform_(platform),
      registration_(platform.registry, std::move(menuKey)) {}

void TWorkspace::Start(std::string workDir) {
  WorkDir = std::move(workDir);
  Model.Clear();
  Model.SetChanged(false);
}

void TWorkspace::LoadFromRegistry() {
  MenuRegistration::ReadResult read = registration_.Read();
  Model.StartupFill(std::move(read.entries));
  if (read.unfinishedSave && RestoreUnfinishedSave(*read.unfinishedSave))
    return;
  if (read.error) throw TavroError(*read.error);
}

bool TWorkspace::RestoreUnfinishedSave(const std::string& backupPath) {
  // Any program may write the mark: a file that is not there, a folder, or
  // one that holds fewer entries than it names is never offered, since Yes
  // would empty the list and the next save the menu and the backup.
  std::vector<TSection> entries;
  if (!backupPath.empty())
    entries =
        Backup(platform_.files, platform_.profiles, backupPath).ReadComplete();
  const std::string shown = Abbreviated(backupPath, kQuotedPathBytes);
  if (entries.empty()) {
    boxes_.ShowError(backupPath.empty()
                         ? Messages.msgSaveMarkUnreadable
                         : FormatError(Messages.msgSaveUnreadable, shown));
    return false;
  }
  if (boxes_.AskYesNo(FormatError(Messages.msgSaveUnfinished, shown)) !=
      Answer::Yes)
    return false;
  ViewUpdate update(view_);
  Model.Clear();
  Model.Refill(std::move(entries));
  // Unsaved, so that the next save repairs the menu.
  Model.SetChanged(true);
  view_.EnableSaveItem(true);
  return true;
}

bool TWorkspace::CleanBtnClick() {
  if (view_.RowCount() == 0 && !bridge_.Registered() && !typing_.Registered())
    return false;
  if (boxes_.AskYesNo(Messages.msgCleanInfo) != Answer::Yes) return false;
  registration_.Purge();
  registration_.EndSave();
  bridge_.Unregister();
  typing_.Unregister();
  Model.RemoveAllEntries();
  Model.SetChanged(false);
  view_.EnableSaveItem(false);
  return true;
}

bool TWorkspace::BridgeOn() { return bridge_.Registered(); }

void TWorkspace::BrowsersItemClick() {
  if (bridge_.Registered()) {
    if (boxes_.AskYesNo(Messages.msgBridgeOff) == Answer::Yes)
      bridge_.Unregister();
    return;
  }
  bridge_.Register();
  boxes_.ShowInfo(FormatError(Messages.msgBridgeOn, ProgramDir + "extension"));
}

bool TWorkspace::TypeOn() { return typing_.Registered(); }

TWorkspace::TypeSwitch TWorkspace::TypeItemClick() {
  if (!typing_.Registered()) {
    typing_.Register();
    return TypeSwitch::On;
  }
  if (boxes_.AskYesNo(Messages.msgTypeOff) != Answer::Yes)
    return TypeSwitch::Left;
  typing_.Unregister();
  return TypeSwitch::Off;
}

void TWorkspace::WriteRegistryAndBackup(
    const std::vector<std::string>& scripts) {
  Backup backup(platform_.files, platform_.profiles, BackupPath(WorkDir));
  // Decided before anything is touched: without a backup file the
  // registry may lag behind too.
  const bool rewrite = Model.Changed() || !backup.Exists();
  // The backup first, on the disk, so that it holds the list being saved
  // when the mark tells a later start that the menu may be half written.
  // A backup that cannot be replaced lets the save go on: the registry and
  // the scripts are the browser's.
  if (!backup.Write(TempSecs))
    boxes_.ShowError(FormatError(kBackupKept, backup.Path()));
  registration_.BeginSave(backup.Path());
  if (rewrite) registration_.Rewrite(TempSecs, scripts);
}

void TWorkspace::WriteScript(const std::string& path,
                             const std::string& content) {
  // Made again from the list at every save.
  platform_.files.WriteFile(path, FillScriptText(content),
                            FileSystem::Sync::Cached);
}

void TWorkspace::SaveBtnClick() {
  const std::vector<TSection>& entries = Model.Sections();
  std::vector<std::string> titles;
  for (const TSection& entry : entries) titles.push_back(entry.Title);
  const std::vector<std::string> scripts = ScriptPaths(WorkDir, titles);
  // Refused before anything is touched: the registry would name scripts
  // that cannot be written.
  std::vector<std::string> paths = scripts;
  paths.push_back(BackupPath(WorkDir));
  for (const std::string& path : paths)
    if (!FitsPathLimit(path))
      throw TavroError(FormatError(kFolderTooDeep, WorkDir));

  TempSecs.clear();
  for (const TSection& entry : entries)
    TempSecs.push_back(
        {entry.Title, EncodeLineBreaks(NormalizeLineBreaks(entry.Content))});
  WriteRegistryAndBackup(scripts);

  FileSystem& files = platform_.files;
  const std::string folder = ScriptFolder(WorkDir);
  if (!files.DirectoryExists(folder)) files.MakeFolder(folder);
  // Every other name Tavro gives a Title of the list or of the removal log
  // goes: a variant's number moves as its namesakes come, go and move.
  for (const TDeleteSec& removed : Model.DeleteSecs())
    titles.push_back(removed.Title);
  for (const std::string& name : StaleScripts(
           WorkDir, titles, scripts, files.FindFiles(folder + "\\*.htm"))) {
    const std::string path = folder + "\\" + name;
    if (files.FileExists(path) && !files.RemoveFile(path))
      boxes_.ShowError(Messages.msgDelFileError);
  }
  // The script types the Content as the user wrote it; the snapshot's
  // encoded form cannot tell a typed \r\n from a line break.
  for (std::size_t i = 0; i < entries.size(); ++i)
    WriteScript(scripts[i], entries[i].Content);
  // Only now is every menu item's script in place. A save that fails
  // before keeps its mark: the next start offers the backup.
  registration_.EndSave();

  Model.SetChanged(false);
  view_.EnableSaveItem(false);
}

void TWorkspace::LoadBtnClick() {
  Backup backup(platform_.files, platform_.profiles, BackupPath(WorkDir));
  // A file that holds no entry empties the list; no file at all is more
  // likely a wrong folder than a wish.
  if (!backup.Exists()) {
    boxes_.ShowError(FormatError(Messages.msgNoBackup, backup.Path()));
    return;
  }
  ViewUpdate update(view_);  // emptied and filled, drawn once
  Model.Clear();
  Model.Refill(backup.Read());
}

bool TWorkspace::FormCloseQuery() {
  if (!Model.Changed()) return true;
  switch (boxes_.AskYesNoCancel(Messages.msgCloseQuery)) {
    case Answer::Yes:
      SaveBtnClick();
      return true;
    case Answer::Cancel:
      return false;
    default:
      return true;
  }
}

std::optional<std::string> TWorkspace::ChosenLanguageFile() {
  const std::string name =
      ReadLanguageSelection(platform_.profiles, ProgramDir);
  if (name.empty()) {
    boxes_.ShowError(kNoLanguageFiles);
    return std::nullopt;
  }
  return LanguageFilePath(platform_.files, WorkDir, ProgramDir, name);
}

bool TWorkspace::LoadLanguage(TFormTexts& form) {
  const auto file = ChosenLanguageFile();
  if (file)
    ApplyLanguageFile(platform_.profiles, *file, form, Messages, EditCaptions);
  return file.has_value();
}

void TWorkspace::TemplateItemClick() {
  if (boxes_.AskYesNo(Messages.msgUseTemplate) != Answer::Yes) return;
  const auto file = ChosenLanguageFile();
  if (!file) return;
  ViewUpdate update(view_);
  Model.Clear();
  Model.Refill(ReadTemplates(platform_.profiles, *file));
}

std::optional<std::string> TWorkspace::HelpPage() {
  return FindHelpPage(platform_.files, WorkDir, ProgramDir);
}

}  // namespace tavro
