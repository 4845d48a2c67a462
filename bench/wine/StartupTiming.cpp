// Start-up: from CreateProcess until the main window is visible and the
// program waits for input, against the bare window program, alternating.
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include "LineBreaks.h"
#include "Paths.h"
#include "Registration.h"
#include "Timing.h"
#include "WinRegistry.h"
#include "WineTiming.h"

namespace tavro::bench {

namespace {
bool HasVisibleWindow(DWORD processId) {
  struct Search {
    DWORD id;
    bool found;
  } search{processId, false};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->id && IsWindowVisible(window)) s->found = true;
        return !s->found;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

Launch StartOnce(const std::string& exe, const std::string& folder) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string command = "\"" + exe + "\"";
  Stopwatch clock;
  if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, folder.c_str(), &startup, &process)) {
    std::fprintf(stderr, "cannot start %s\n", exe.c_str());
    std::exit(1);
  }
  WaitForInputIdle(process.hProcess, 60000);
  while (!HasVisibleWindow(process.dwProcessId)) Sleep(1);
  Launch launch{clock.Ms(), 0};
  PROCESS_MEMORY_COUNTERS memory{};
  GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
  launch.peakKiB = memory.PeakWorkingSetSize / 1024;
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return launch;
}

// A program folder where English is chosen, so no dialog comes first.
std::string ProgramFolder(const std::string& tavroExe) {
  const std::string folder = ScratchFolder("tavro-timing-program");
  const std::string source = tavroExe.substr(0, tavroExe.find_last_of("\\/"));
  CreateDirectoryA((folder + "\\Languages").c_str(), nullptr);
  CopyFileA((source + "\\Languages\\English.ini").c_str(),
            (folder + "\\Languages\\English.ini").c_str(), FALSE);
  CopyFileA(tavroExe.c_str(), (folder + "\\Tavro.exe").c_str(), FALSE);
  WritePrivateProfileStringA("Language", "Language", "English",
                             (folder + "\\Language.ini").c_str());
  return folder + "\\Tavro.exe";
}
}  // namespace

std::vector<TTempSec> SampleEntries(int count) {
  std::vector<TTempSec> entries;
  for (int i = 0; i < count; ++i)
    entries.push_back({"Entry " + std::to_string(i),
                       EncodeLineBreaks("Jane Roe\r\n12 High Street\r\n"
                                        "Springfield " +
                                        std::to_string(10000 + i))});
  return entries;
}

namespace {
// As a save installs them, each naming its script in the work folder.
void Install(MenuRegistration& menu, int entries, const std::string& work) {
  const std::vector<TTempSec> records = SampleEntries(entries);
  std::vector<std::string> titles;
  for (const TTempSec& record : records) titles.push_back(record.Title);
  menu.Rewrite(records, ScriptPaths(work, titles));
}
}  // namespace

Pair TimeRegistryRead(int entries, int runs) {
  win::WinRegistry registry;
  MenuRegistration menu(registry);
  Install(menu, entries, ScratchFolder("tavro-timing-work"));
  std::vector<double> tavroMs, floorMs;
  char data[1024];
  for (int run = 0; run < runs; ++run) {
    Stopwatch floorClock;
    HKEY menuKey;
    RegOpenKeyExA(HKEY_CURRENT_USER, kMenuExtKey + 1, 0, KEY_READ, &menuKey);
    char name[256];
    for (DWORD i = 0;; ++i) {
      DWORD length = sizeof name;
      if (RegEnumKeyExA(menuKey, i, name, &length, nullptr, nullptr, nullptr,
                        nullptr) != ERROR_SUCCESS)
        break;
      HKEY key;
      RegOpenKeyExA(menuKey, name, 0, KEY_READ, &key);
      DWORD size = sizeof data;
      RegQueryValueExA(key, kMarkerValue, nullptr, nullptr,
                       reinterpret_cast<BYTE*>(data), &size);
      RegCloseKey(key);
    }
    RegCloseKey(menuKey);
    floorMs.push_back(floorClock.Ms());
    Stopwatch clock;
    menu.Read();
    tavroMs.push_back(clock.Ms());
  }
  menu.Purge();
  return {Median(tavroMs), Median(floorMs)};
}

StartupFigures TimeStartup(const std::string& tavroExe,
                           const std::vector<std::string>& baselines,
                           int entries, int runs) {
  const std::string tavro = ProgramFolder(tavroExe);
  const std::string work = ScratchFolder("tavro-timing-work");
  win::WinRegistry registry;
  MenuRegistration menu(registry);
  Install(menu, entries, work);
  std::vector<double> tavroMs;
  std::vector<std::vector<double>> baselineMs(baselines.size());
  StartupFigures figures{};
  StartOnce(baselines[0], work);  // the first start of all pays for the caches
  for (int i = 0; i < runs; ++i) {
    for (std::size_t b = 0; b < baselines.size(); ++b) {
      const Launch baseline = StartOnce(baselines[b], work);
      baselineMs[b].push_back(baseline.ms);
      if (b == 0)
        figures.barePeakKiB = std::max(figures.barePeakKiB, baseline.peakKiB);
    }
    const Launch ours = StartOnce(tavro, work);
    tavroMs.push_back(ours.ms);
    figures.tavroPeakKiB = std::max(figures.tavroPeakKiB, ours.peakKiB);
  }
  menu.Purge();
  figures.tavroMs = Median(tavroMs);
  for (std::vector<double>& times : baselineMs)
    figures.baselineMs.push_back(Median(times));
  return figures;
}

}  // namespace tavro::bench
