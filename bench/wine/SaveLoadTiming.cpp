// Save and Load in this process, with the real backends, against floor
// programs made of the Win32 calls they cannot do without.
#include "WinFileSystem.h"
// After windows.h, which it needs.
#include <commctrl.h>

#include "Backup.h"
#include "FillScript.h"
#include "LineBreaks.h"
#include "ListViewRows.h"
#include "MemoryEntryView.h"
#include "Paths.h"
#include "Registration.h"
#include "ScriptedBoxes.h"
#include "Timing.h"
#include "WinProfileFile.h"
#include "WinRegistry.h"
#include "WineTiming.h"
#include "Workspace.h"

namespace tavro::bench {

namespace {
void WriteWhole(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
            nullptr);
  CloseHandle(file);
}

void SetString(HKEY key, const char* name, const std::string& value) {
  RegSetValueExA(key, name, 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
}

struct Platforms {
  win::WinRegistry registry;
  win::WinFileSystem files;
  win::WinProfileFile profiles;
  Platform platform{registry, files, profiles};
};

std::vector<TSection> Sections(const std::vector<TTempSec>& records) {
  std::vector<TSection> sections;
  for (const TTempSec& r : records)
    sections.push_back({r.Title, DecodeLineBreaks(r.Content)});
  return sections;
}
}  // namespace

Pair TimeSave(int entries, int runs) {
  const std::string work = ScratchFolder("tavro-timing-save");
  const std::vector<TTempSec> records = SampleEntries(entries);
  Platforms p;
  MenuRegistration menu(p.registry);
  // The floor's bytes are made beforehand: it times the calls alone.
  std::vector<std::string> keys, scripts, texts;
  for (int i = 0; i < entries; ++i) {
    keys.push_back(std::string(kMenuExtKey + 1) + TwoDigits(i) + "." +
                   records[i].Title);
    scripts.push_back(ScriptPath(work, records[i].Title));
    texts.push_back(FillScriptText(DecodeLineBreaks(records[i].Content)));
  }
  const std::string backup = BackupText(records);

  std::vector<double> tavroMs, floorMs;
  auto floorRun = [&] {
    menu.Purge();
    EmptyFolder(work);
    Stopwatch clock;
    for (int i = 0; i < entries; ++i) {
      HKEY key;
      RegCreateKeyExA(HKEY_CURRENT_USER, keys[i].c_str(), 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr);
      SetString(key, "", "file://" + scripts[i]);
      const DWORD contexts = kFormControlContext;
      RegSetValueExA(key, "Contexts", 0, REG_DWORD,
                     reinterpret_cast<const BYTE*>(&contexts), sizeof contexts);
      SetString(key, kMarkerValue, records[i].Content);
      RegCloseKey(key);
    }
    CreateDirectoryA(ScriptFolder(work).c_str(), nullptr);
    for (int i = 0; i < entries; ++i) WriteWhole(scripts[i], texts[i]);
    WriteWhole(BackupPath(work), backup);
    floorMs.push_back(clock.Ms());
  };
  auto tavroRun = [&] {
    menu.Purge();
    EmptyFolder(work);
    MemoryEntryView view;
    ScriptedBoxes boxes;
    TWorkspace workspace(view, boxes, p.platform);
    workspace.Start(work);
    workspace.Model.Refill(Sections(records));
    Stopwatch clock;
    workspace.SaveBtnClick();
    tavroMs.push_back(clock.Ms());
  };
  // Either goes first in turn: the disk may still be busy with the last.
  for (int run = 0; run < runs; ++run) {
    if (run % 2) {
      tavroRun();
      floorRun();
    } else {
      floorRun();
      tavroRun();
    }
  }
  menu.Purge();
  EmptyFolder(work);
  return {Median(tavroMs), Median(floorMs)};
}

LoadFigures TimeLoad(int entries, int runs) {
  const std::string work = ScratchFolder("tavro-timing-load");
  Platforms p;
  Backup(p.files, p.profiles, BackupPath(work)).Write(SampleEntries(entries));
  const std::string path = BackupPath(work);

  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 474, 292,
                                nullptr, nullptr, nullptr, nullptr);
  HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0,
                              474, 292, window, nullptr, nullptr, nullptr);
  for (int column = 0; column < 2; ++column) {
    LVCOLUMNA c{};
    c.mask = LVCF_WIDTH;
    c.cx = 100;
    SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&c));
  }
  HMENU menu = CreateMenu();
  AppendMenuA(menu, MF_STRING, 1, "Save");
  win::ListViewRows rows(list, menu, 1);
  ScriptedBoxes boxes;
  TWorkspace workspace(rows, boxes, p.platform);
  workspace.Start(work);

  std::vector<double> tavroMs, sectionMs, keysMs;
  std::vector<char> section(1 << 16);
  char value[kProfileValueLimit + 1];
  for (int run = 0; run < runs; ++run) {
    Stopwatch sectionClock;
    for (;;) {
      const DWORD got = GetPrivateProfileSectionA(
          "User", section.data(), static_cast<DWORD>(section.size()),
          path.c_str());
      if (got + 2 < section.size()) break;
      section.resize(section.size() * 2);
    }
    sectionMs.push_back(sectionClock.Ms());

    Stopwatch keysClock;
    for (int n = 0;; ++n) {
      const std::string key = std::to_string(n) + ".";
      GetPrivateProfileStringA("User", (key + "Title").c_str(), "\n", value,
                               sizeof value, path.c_str());
      if (value[0] == '\n') break;
      GetPrivateProfileStringA("User", (key + "Content").c_str(), "", value,
                               sizeof value, path.c_str());
    }
    keysMs.push_back(keysClock.Ms());

    Stopwatch clock;
    workspace.LoadBtnClick();
    tavroMs.push_back(clock.Ms());
  }
  DestroyWindow(window);
  DestroyMenu(menu);
  EmptyFolder(work);
  return {Median(tavroMs), Median(sectionMs), Median(keysMs)};
}

}  // namespace tavro::bench
