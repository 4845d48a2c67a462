// The picker's search over 1,000 Titles, as at each key typed, against a
// plain substring scan of the same Titles in the same run.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "EntrySearch.h"

namespace {

std::vector<std::u16string> Titles(int count) {
  const char16_t* words[] = {u"home",  u"work",      u"address", u"e-mail",
                             u"phone", u"signature", u"account", u"reply"};
  std::vector<std::u16string> titles;
  for (int i = 0; i < count; ++i)
    titles.push_back(std::u16string(words[i % 8]) + u" " + words[i / 8 % 8] +
                     u" " +
                     std::u16string(1, static_cast<char16_t>(u'a' + i % 26)));
  return titles;
}

void BM_FindBaseline(benchmark::State& state) {
  const auto titles = Titles(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < titles.size(); ++i)
      if (titles[i].find(u"addr") != std::u16string::npos) found.push_back(i);
    benchmark::DoNotOptimize(found);
  }
}

void BM_SearchTitles(benchmark::State& state) {
  const auto titles = Titles(static_cast<int>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(tavro::SearchTitles(titles, u"addr"));
}

BENCHMARK(BM_FindBaseline)->Arg(1000);
BENCHMARK(BM_SearchTitles)->Arg(1000);

}  // namespace
