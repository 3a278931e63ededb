#include "solver/RunTrace.h"

namespace mirelock {

void RunTrace::Finish(std::uint64_t repairs, long cpuMilliseconds) {
  endRepairs_ = repairs;
  endCpuMilliseconds_ = cpuMilliseconds;
  // Points without a clock reading lie between the reading before them and the next one (or the end).
  std::size_t before = 0;
  for (std::size_t i = 0; i < points_.size(); ++i) {
    if (points_[i].cpuMilliseconds != kNotRead) {
      before = i;
      continue;
    }
    std::size_t after = i + 1;
    while (after < points_.size() && points_[after].cpuMilliseconds == kNotRead) ++after;
    const TracePoint& from = points_[before];
    const std::uint64_t toRepairs = after < points_.size() ? points_[after].repairs : repairs;
    const long toMilliseconds = after < points_.size() ? points_[after].cpuMilliseconds : cpuMilliseconds;
    const long span = toMilliseconds > from.cpuMilliseconds ? toMilliseconds - from.cpuMilliseconds : 0;
    for (std::size_t k = i; k < after; ++k) {
      const std::uint64_t width = toRepairs > from.repairs ? toRepairs - from.repairs : 1;
      const std::uint64_t into = points_[k].repairs - from.repairs;
      points_[k].cpuMilliseconds =
          from.cpuMilliseconds + static_cast<long>(static_cast<double>(span) * static_cast<double>(into) /
                                                   static_cast<double>(width));
    }
    i = after - 1;
  }
}

}  // namespace mirelock
