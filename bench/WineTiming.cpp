// Start-up read and save rewrite against the real registry under Wine,
// each as a ratio to a baseline of the same run that only lists the
// subkeys: what opening, testing and reading each entry costs on top.
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "LineBreaks.h"
#include "Registration.h"
#include "WinRegistry.h"

namespace {

constexpr char kKey[] = "\\Software\\TavroTiming\\MenuExt\\";

template <typename F>
double MedianMs(int runs, F&& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    times.push_back(std::chrono::duration<double, std::milli>(
                        std::chrono::steady_clock::now() - start)
                        .count());
  }
  std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
  return times[runs / 2];
}

}  // namespace

int main() {
  tavro::win::WinRegistry registry;
  tavro::MenuRegistration menu(registry, kKey);
  for (int entries : {100, 1000}) {
    std::vector<tavro::TTempSec> records;
    for (int i = 0; i < entries; ++i)
      records.push_back({"Entry " + std::to_string(i),
                         tavro::EncodeLineBreaks("Line one\r\nLine two")});
    const double rewrite =
        MedianMs(3, [&] { menu.Rewrite(records, "C:\\Forms"); });
    const double list = MedianMs(5, [&] {
      registry.OpenKey(kKey, false);
      registry.GetKeyNames();
      registry.CloseKey();
    });
    const double read = MedianMs(5, [&] { menu.Read(); });
    std::printf(
        "%5d entries: list %8.2f ms, read %8.2f ms (%6.1fx list), "
        "rewrite %8.2f ms (%6.1fx list)\n",
        entries, list, read, read / list, rewrite, rewrite / list);
  }
  menu.Purge();
  registry.DeleteKey("\\Software\\TavroTiming");
  PROCESS_MEMORY_COUNTERS memory{};
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  std::printf("peak working set: %zu KiB\n", memory.PeakWorkingSetSize / 1024);
  return 0;
}
