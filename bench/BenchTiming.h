#pragma once
// Timing for the figures the benchmark programs print last: the best of several runs.

#include <algorithm>
#include <chrono>

namespace lumafex::bench {

template <class F>
double bestSeconds(int runs, F&& f) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  return best;
}

}  // namespace lumafex::bench
