// Prints Tavro's start-up, save, load and memory under Wine, each as a
// ratio to a baseline measured in the same run.
// Arguments: the paths of Tavro.exe and of the bare window program.
#include <windows.h>

#include <cstdio>

#include "Timing.h"
#include "WineTiming.h"

using namespace tavro::bench;

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: wine_timing Tavro.exe bare_window.exe\n");
    return 2;
  }
  const int startRuns = 11;
  std::printf("start-up, median of %d alternating runs\n", startRuns);
  std::size_t tavroPeak = 0, barePeak = 0;
  for (int entries : {0, 100, 1000}) {
    const StartupFigures f = TimeStartup(argv[1], argv[2], entries, startRuns);
    PrintRatio("  Tavro, " + std::to_string(entries) + " entries", f.tavroMs,
               "bare window", f.bareMs);
    if (entries == 1000) {
      tavroPeak = f.tavroPeakKiB;
      barePeak = f.barePeakKiB;
    }
  }
  for (int entries : {100, 1000}) {
    const Pair read = TimeRegistryRead(entries, 5);
    PrintRatio("  menu key read, " + std::to_string(entries) + " entries",
               read.tavroMs, "open, read, close", read.floorMs);
  }
  std::printf(
      "peak working set, 1000 entries: Tavro %zu KiB, bare window "
      "%zu KiB: %.2fx\n",
      tavroPeak, barePeak, double(tavroPeak) / double(barePeak));

  std::printf("save into an empty menu key and folder, median of 5\n");
  for (int entries : {100, 1000}) {
    const Pair save = TimeSave(entries, 5);
    PrintRatio("  save, " + std::to_string(entries) + " entries", save.tavroMs,
               "floor", save.floorMs);
  }
  std::printf("Tools > Load, median of 5\n");
  for (int entries : {100, 1000}) {
    const LoadFigures load = TimeLoad(entries, 5);
    const std::string name = "  load, " + std::to_string(entries) + " entries";
    PrintRatio(name, load.tavroMs, "reads key by key", load.keysMs);
    PrintRatio(name, load.tavroMs, "one section read", load.sectionMs);
  }
  return 0;
}
