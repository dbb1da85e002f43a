#pragma once
// The median wall time of `runs` calls of `body`, in milliseconds: the
// middle run, so that one slow run (a page-cache miss, the other core busy)
// does not move the figure.
#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace plovex {

inline double MedianMs(int runs, const std::function<void()>& body) {
  using Clock = std::chrono::steady_clock;
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    body();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::nth_element(ms.begin(), ms.begin() + runs / 2, ms.end());
  return ms[runs / 2];
}

}  // namespace plovex
