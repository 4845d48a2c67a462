// Prints Tavro's start-up, save, load and memory under Wine, each as a
// ratio to a baseline measured in the same run.
// Arguments: the paths of Tavro.exe, of the bare window program, of the
// same with Tavro's manifest and of the same with the parts Tavro's window
// cannot do without, then optionally which of start, save and load to time
// (all by default).
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "Timing.h"
#include "WineTiming.h"

using namespace tavro::bench;

namespace {
void Startup(const char* tavro, const std::vector<std::string>& baselines) {
  const int runs = 21;
  const char* names[] = {"bare window", "bare window with the manifest",
                         "bare window with Tavro's parts"};
  std::printf("start-up, median of %d alternating runs\n", runs);
  StartupFigures most{};
  for (int entries : {0, 100, 1000}) {
    most = TimeStartup(tavro, baselines, entries, runs);
    const std::string name = "  Tavro, " + std::to_string(entries) + " entries";
    for (std::size_t b = 0; b < baselines.size(); ++b)
      PrintRatio(name, most.tavroMs, names[b], most.baselineMs[b]);
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
  if (argc < 5) {
    std::fprintf(stderr,
                 "usage: wine_timing Tavro.exe bare_window.exe "
                 "bare_window_manifest.exe bare_window_parts.exe [start] "
                 "[save] [load]\n");
    return 2;
  }
  auto wanted = [&](const char* part) {
    if (argc == 5) return true;
    for (int i = 5; i < argc; ++i)
      if (std::strcmp(argv[i], part) == 0) return true;
    return false;
  };
  if (wanted("start")) Startup(argv[1], {argv[2], argv[3], argv[4]});
  if (wanted("save")) Save();
  if (wanted("load")) Load();
  return 0;
}
