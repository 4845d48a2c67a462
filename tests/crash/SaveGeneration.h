// The list that the kill test's saves write, one per generation: the same
// Titles, Contents that tell the generations apart.
#pragma once

#include <string>
#include <vector>

#include "Entries.h"

namespace tavro::test {

inline constexpr int kEntries = 1000;

inline std::vector<TSection> Generation(int generation) {
  std::vector<TSection> entries;
  for (int i = 0; i < kEntries; ++i)
    entries.push_back({"Entry " + std::to_string(i),
                       "generation " + std::to_string(generation) + ", entry " +
                           std::to_string(i) + "\r\n" +
                           std::string(static_cast<std::size_t>(i % 50), '*')});
  return entries;
}

}  // namespace tavro::test
