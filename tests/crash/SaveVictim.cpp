// Saves a list of entries of one generation into a work folder, with the
// real registry and files; the kill test ends it at any moment.
// Usage: save_victim <work folder> <menu key without its last backslash>
// <generation> <event set as the save begins>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "MemoryEntryView.h"
#include "SaveGeneration.h"
#include "ScriptedBoxes.h"
#include "WinFileSystem.h"
#include "WinProfileFile.h"
#include "WinRegistry.h"
#include "Workspace.h"

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  tavro::MemoryEntryView view;
  tavro::ScriptedBoxes boxes;
  tavro::win::WinRegistry registry;
  tavro::win::WinFileSystem files;
  tavro::win::WinProfileFile profiles;
  tavro::TWorkspace ws(view, boxes, {registry, files, profiles},
                       std::string(argv[2]) + "\\");
  ws.Start(argv[1]);
  ws.Model.Refill(tavro::test::Generation(std::atoi(argv[3])));
  // The test counts its moments from here, not from a process start whose
  // length Wine varies.
  if (HANDLE started = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[4])) {
    SetEvent(started);
    CloseHandle(started);
  }
  ws.SaveBtnClick();
  return boxes.shown.empty() ? 0 : 1;
}
