#pragma once

// How the benchmarks print a set of timings.

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

// One line: `what`, then the median, the least and the most of `ms`
// (milliseconds; not empty).
inline void PrintSpread(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("%-44s median %7.2f ms   min %7.2f ms   max %7.2f ms\n", what, ms[ms.size() / 2],
              ms.front(), ms.back());
}

}  // namespace bench
