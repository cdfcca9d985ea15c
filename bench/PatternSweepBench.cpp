// The catalogue sweep: every entry of every list for every channel count 4 to 300, measured beside
// a plain memset of the same bytes in the same pieces, so the distance to the memory-write limit
// shows.

#include <benchmark/benchmark.h>

#include "BenchTiming.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/patterns/Catalogue.h"

namespace {

using lumafex::patterns::catalogue;
using lumafex::patterns::runGenerator;
using lumafex::patterns::StepWriter;

// Runs the sweep over the given lists; records the size of every effect when `sizes` is given.
std::uint64_t sweep(std::initializer_list<int> lists, std::vector<std::size_t>* sizes) {
  StepWriter out;
  out.reserve(1 << 20);
  std::uint64_t bytes = 0;
  for (int colours : lists) {
    for (int n = 4; n <= 300; ++n) {
      for (const auto& entry : catalogue(colours)) {
        runGenerator(*entry.generator, n, colours, out);
        benchmark::DoNotOptimize(out.bytes().data());
        bytes += out.bytes().size();
        if (sizes) sizes->push_back(out.bytes().size());
      }
    }
  }
  return bytes;
}

void memsetPieces(const std::vector<std::size_t>& sizes, std::vector<char>& buffer) {
  for (std::size_t s : sizes) {
    std::memset(buffer.data(), 'X', s);
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
}

void BM_SweepList(benchmark::State& state) {
  const int colours = static_cast<int>(state.range(0));
  std::uint64_t bytes = 0;
  for (auto _ : state) bytes += sweep({colours}, nullptr);
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_SweepList)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

void BM_MemsetSameBytes(benchmark::State& state) {
  std::vector<std::size_t> sizes;
  sweep({1, 2, 3}, &sizes);
  std::vector<char> buffer(*std::max_element(sizes.begin(), sizes.end()));
  std::uint64_t bytes = 0;
  for (std::size_t s : sizes) bytes += s;
  for (auto _ : state) memsetPieces(sizes, buffer);
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes * state.iterations()));
}
BENCHMARK(BM_MemsetSameBytes)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  using lumafex::bench::bestSeconds;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  std::vector<std::size_t> sizes;
  const std::uint64_t bytes = sweep({1, 2, 3}, &sizes);
  const double sweepSeconds = bestSeconds(5, [] { sweep({1, 2, 3}, nullptr); });

  // The same bytes written by memset in the same pieces into one reused buffer (it stays in the
  // cache, as the generators' output buffer does) ...
  std::vector<char> piece(*std::max_element(sizes.begin(), sizes.end()));
  const double piecesSeconds = bestSeconds(5, [&] { memsetPieces(sizes, piece); });
  // ... and as one plain memset of all the bytes: the memory-write limit.
  std::vector<char> all(bytes, ' ');
  const double plainSeconds = bestSeconds(3, [&] {
    std::memset(all.data(), 'X', all.size());
    benchmark::DoNotOptimize(all.data());
    benchmark::ClobberMemory();
  });

  std::printf(
      "memset rates: in-cache pieces %.1f GB/s, one plain memset %.1f GB/s; sweep %.1f GB/s "
      "(%.2fx the in-cache pieces)\n",
      bytes / piecesSeconds / 1e9, bytes / plainSeconds / 1e9, bytes / sweepSeconds / 1e9,
      sweepSeconds / piecesSeconds);
  std::printf("sweep seconds: %.3f; bytes: %llu; ratio to memset: %.2f\n", sweepSeconds,
              static_cast<unsigned long long>(bytes), sweepSeconds / plainSeconds);
  return 0;
}
