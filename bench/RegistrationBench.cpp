// The start-up read of a full menu key against listing its subkeys alone,
// in the same run: the price of opening, testing and reading each entry.
#include <benchmark/benchmark.h>

#include "MemoryRegistry.h"
#include "Paths.h"
#include "Registration.h"

namespace {

constexpr char kKey[] = "\\Software\\Bench\\MenuExt\\";

void Register(tavro::MemoryRegistry& registry, int entries) {
  std::vector<tavro::TTempSec> records;
  std::vector<std::string> titles;
  for (int i = 0; i < entries; ++i) {
    titles.push_back("Entry " + std::to_string(i));
    records.push_back({titles.back(), "line\\r\\nline"});
  }
  tavro::MenuRegistration(registry, kKey)
      .Rewrite(records, tavro::ScriptPaths("C:\\Forms", titles));
}

void BM_ListSubkeysBaseline(benchmark::State& state) {
  tavro::MemoryRegistry registry;
  Register(registry, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        registry.Open(kKey, tavro::Registry::Mode::Read)->SubkeyNames());
  }
}

void BM_ReadEntries(benchmark::State& state) {
  tavro::MemoryRegistry registry;
  Register(registry, static_cast<int>(state.range(0)));
  tavro::MenuRegistration registration(registry, kKey);
  for (auto _ : state) benchmark::DoNotOptimize(registration.Read());
}

BENCHMARK(BM_ListSubkeysBaseline)->Arg(100)->Arg(1000);
BENCHMARK(BM_ReadEntries)->Arg(100)->Arg(1000);

}  // namespace
