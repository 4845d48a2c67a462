// The timings under Wine, each with its baseline of the same run.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "Entries.h"

namespace tavro::bench {

struct Launch {
  double ms;
  std::size_t peakKiB;
};

struct StartupFigures {
  double tavroMs;
  std::vector<double> baselineMs;  // in the order given
  std::size_t tavroPeakKiB, barePeakKiB;
};

// Entries as a user keeps them: a Title and a three-line address.
std::vector<TTempSec> SampleEntries(int count);

struct Pair {
  double tavroMs, floorMs;
};

// Tavro's start against the baseline programs', each in turn; the first
// baseline's memory is the one given.
StartupFigures TimeStartup(const std::string& tavroExe,
                           const std::vector<std::string>& baselines,
                           int entries, int runs);

// The start-up's read of the menu key, against listing its subkeys and
// opening each, reading its marker and closing it.
Pair TimeRegistryRead(int entries, int runs);

// A whole save into an empty menu key and work folder, against the calls
// such a save cannot do without.
Pair TimeSave(int entries, int runs);

struct LoadFigures {
  double tavroMs, sectionMs, keysMs;
};

// Tools > Load into a list view, against the profile reads of its entries:
// one read of the section, and one read per key.
LoadFigures TimeLoad(int entries, int runs);

}  // namespace tavro::bench
