// What the timing programs share: medians of alternating runs, and a
// scratch folder of their own.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace tavro::bench {

class Stopwatch {
 public:
  double Ms() const {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now() - start_)
        .count();
  }

 private:
  std::chrono::steady_clock::time_point start_ =
      std::chrono::steady_clock::now();
};

inline double Median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + values.size() / 2,
                   values.end());
  return values[values.size() / 2];
}

// "name: 12.3 ms, baseline: 10.0 ms: 1.23x"
inline void PrintRatio(const std::string& name, double ms,
                       const std::string& baseline, double baseMs) {
  std::printf("%-34s %9.1f ms  %-22s %9.1f ms  %6.2fx\n", name.c_str(), ms,
              baseline.c_str(), baseMs, ms / baseMs);
  std::fflush(stdout);
}

// A fresh, empty folder under the temporary folder.
std::string ScratchFolder(const std::string& name);
// Deletes the files of a folder and its folders, leaving it empty.
void EmptyFolder(const std::string& folder);

}  // namespace tavro::bench
