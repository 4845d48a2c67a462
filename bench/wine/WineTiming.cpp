// Prints Tavro's start-up, save, load and memory under Wine, each as a
// ratio to a baseline measured in the same run.
// Arguments: the paths of Tavro.exe, of the bare window program and of the
// same with Tavro's manifest, then optionally which of start, save and load
// to time (all by default).
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "Timing.h"
#include "WineTiming.h"

using namespace tavro::bench;

namespace {
void Startup(const char* tavro, const char* bare, const char* manifest) {
  const int runs = 21;
  std::printf("start-up, median of %d alternating runs\n", runs);
  StartupFigures most{};
  for (int entries : {0, 100, 1000}) {
    most = TimeStartup(tavro, bare, manifest, entries, runs);
    const std::string name = "  Tavro, " + std::to_string(entries) + " entries";
    PrintRatio(name, most.tavroMs, "bare window", most.bareMs);
    PrintRatio(name, most.tavroMs, "bare window with the manifest",
               most.manifestMs);
  }
  for (int entries : {100, 1000}) {
    const Pair read = TimeRegistryRead(entries, 5);
    PrintRatio("  menu key read, " + std::to_string(entries) + " entries",
               read.tavroMs, "list, open, read, close", read.floorMs);
  }
  std::printf(
      "peak working set, 1000 entries: Tavro %zu KiB, bare window %zu KiB: "
      "%.2fx\n",
      most.tavroPeakKiB, most.barePeakKiB,
      double(most.tavroPeakKiB) / double(most.barePeakKiB));
}

void Save() {
  std::printf("save into an empty menu key and folder, median of 5\n");
  for (int entries : {100, 1000}) {
    const Pair save = TimeSave(entries, 5);
    PrintRatio("  save, " + std::to_string(entries) + " entries", save.tavroMs,
               "floor", save.floorMs);
  }
}

void Load() {
  std::printf("Tools > Load, median of 5\n");
  for (int entries : {100, 1000}) {
    const LoadFigures load = TimeLoad(entries, 5);
    const std::string name = "  load, " + std::to_string(entries) + " entries";
    PrintRatio(name, load.tavroMs, "reads key by key", load.keysMs);
    PrintRatio(name, load.tavroMs, "one section read", load.sectionMs);
  }
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr,
                 "usage: wine_timing Tavro.exe bare_window.exe "
                 "bare_window_manifest.exe [start] [save] [load]\n");
    return 2;
  }
  auto wanted = [&](const char* part) {
    if (argc == 4) return true;
    for (int i = 4; i < argc; ++i)
      if (std::strcmp(argv[i], part) == 0) return true;
    return false;
  };
  if (wanted("start")) Startup(argv[1], argv[2], argv[3]);
  if (wanted("save")) Save();
  if (wanted("load")) Load();
  return 0;
}
