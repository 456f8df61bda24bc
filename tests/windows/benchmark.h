// What the benchmark programs share: a clock in milliseconds and order
// statistics of the figures they gather.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace benchmark {

// The high-resolution counter, in milliseconds.
inline double NowMs() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return 1000.0 * double(now.QuadPart) / double(frequency.QuadPart);
}

// The value below which the given fraction of the values lie: 0 the
// smallest, 0.5 the median (the upper one of an even count), 1 the largest.
template <typename T>
T Percentile(std::vector<T> values, double fraction) {
  if (values.empty()) return T();
  std::sort(values.begin(), values.end());
  const size_t index = static_cast<size_t>(fraction * double(values.size()));
  return values[std::min(index, values.size() - 1)];
}

template <typename T>
T Median(const std::vector<T>& values) {
  return Percentile(values, 0.5);
}

}  // namespace benchmark
