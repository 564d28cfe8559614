// allocation count of the benchmark program (every malloc, calloc and realloc so far), and
// the frame timer the match benchmarks share.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace vurkhold::bench {

long allocations();

// Runs untimed() and then times frame() once per iteration; reports the median and worst
// frame in µs and the allocations made inside the timed part.
template <class Untimed, class Frame>
void time_frames(benchmark::State& state, Untimed untimed, Frame frame) {
  std::vector<double> us;
  long allocated = 0;
  for (auto _ : state) {
    state.PauseTiming();
    untimed();
    state.ResumeTiming();
    const long before = allocations();
    const auto t0 = std::chrono::steady_clock::now();
    frame();
    const auto t1 = std::chrono::steady_clock::now();
    allocated += allocations() - before;
    us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
  }
  if (us.empty()) return;
  std::sort(us.begin(), us.end());
  state.counters["median_us"] = us[us.size() / 2];
  state.counters["worst_us"] = us.back();
  state.counters["allocations"] = static_cast<double>(allocated);
}

}  // namespace vurkhold::bench
