// Line-break encoding against two baselines of the same run: a plain copy
// of the text (the floor) and the replace-the-first-match-again loop that
// the encoding is defined by (what a one-pass version saves).
#include <benchmark/benchmark.h>

#include <string>

#include "LineBreaks.h"

namespace {

std::string Lines(std::size_t bytes) {
  std::string text;
  while (text.size() < bytes) text += "Main Street 12, Springfield\r\n";
  text.resize(bytes);
  return text;
}

std::string ReplaceFirstAgainAndAgain(std::string text) {
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
    text.replace(at, 2, "\\r\\n");
  return text;
}

void BM_CopyBaseline(benchmark::State& state) {
  const std::string text = Lines(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    std::string copy = text;
    benchmark::DoNotOptimize(copy);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_ReplaceFirstBaseline(benchmark::State& state) {
  const std::string text = Lines(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(ReplaceFirstAgainAndAgain(text));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_Encode(benchmark::State& state) {
  const std::string text = Lines(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(tavro::EncodeLineBreaks(text));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_Decode(benchmark::State& state) {
  const std::string encoded =
      tavro::EncodeLineBreaks(Lines(static_cast<std::size_t>(state.range(0))));
  for (auto _ : state)
    benchmark::DoNotOptimize(tavro::DecodeLineBreaks(encoded));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_CopyBaseline)->Arg(255)->Arg(64 << 10);
BENCHMARK(BM_ReplaceFirstBaseline)->Arg(255)->Arg(64 << 10);
BENCHMARK(BM_Encode)->Arg(255)->Arg(64 << 10);
BENCHMARK(BM_Decode)->Arg(255)->Arg(64 << 10);

}  // namespace
