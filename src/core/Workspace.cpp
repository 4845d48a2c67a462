#include "Workspace.h"

#include "Errors.h"
#include "LineBreaks.h"

namespace tavro {

TWorkspace::TWorkspace(EntryView& view, MessageBoxes& boxes, Registry& registry,
                       std::string menuKey)
    : Model(view, boxes),
      view_(view),
      boxes_(boxes),
      registration_(registry, std::move(menuKey)) {}

void TWorkspace::Start(std::string workDir) {
  WorkDir = std::move(workDir);
  Model.Clear();
  Model.SetChanged(false);
}

void TWorkspace::LoadFromRegistry() {
  MenuRegistration::ReadResult read = registration_.Read();
  Model.StartupFill(std::move(read.entries));
  if (read.error) throw TavroError(*read.error);
}

void TWorkspace::CleanBtnClick() {
  if (view_.RowCount() == 0) return;
  if (boxes_.AskYesNo(Messages.msgCleanInfo) != Answer::Yes) return;
  registration_.Purge();
  Model.RemoveAllEntries();
  Model.SetChanged(false);
  view_.EnableSaveItem(false);
}

void TWorkspace::WriteRegistryAndBackup() {
  registration_.Rewrite(TempSecs, WorkDir);
}

void TWorkspace::SaveBtnClick() {
  TempSecs.clear();
  for (const TSection& entry : Model.Sections())
    TempSecs.push_back({entry.Title, EncodeLineBreaks(entry.Content)});
  WriteRegistryAndBackup();
  Model.SetChanged(false);
  view_.EnableSaveItem(false);
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

}  // namespace tavro
