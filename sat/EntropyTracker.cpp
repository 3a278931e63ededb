#include "sat/EntropyTracker.h"

#include <algorithm>
#include <cmath>

namespace mirelock {

void EntropyTracker::Start(const std::uint8_t* values, std::size_t count) {
  counts_.assign(count, Counts{});
  for (std::size_t i = 0; i < count; ++i) counts_[i].current = values[i] != 0 ? 1 : 0;
}

EntropyTracker::Summary EntropyTracker::Summarise(std::uint64_t repairs) const {
  Summary summary;
  if (repairs == 0 || counts_.empty()) return summary;
  double sum = 0.0;
  double sumOfSquares = 0.0;
  double minimum = 0.0;
  double maximum = 0.0;
  const double ln2 = std::log(2.0);
  for (std::size_t i = 0; i < counts_.size(); ++i) {
    const Counts& counts = counts_[i];
    // The time since the last change belongs to the current value.
    std::uint64_t atValue[2] = {counts.atValue[0], counts.atValue[1]};
    atValue[counts.current] += repairs - counts.lastChange;
    const double total = static_cast<double>(atValue[0] + atValue[1]);
    double entropy = 0.0;
    for (std::uint64_t c : atValue) {
      const double q = total > 0.0 ? static_cast<double>(c) / total : 0.0;
      if (q > 0.0) entropy -= q * std::log(q) / ln2;
    }
    sum += entropy;
    sumOfSquares += entropy * entropy;
    minimum = i == 0 ? entropy : std::min(minimum, entropy);
    maximum = i == 0 ? entropy : std::max(maximum, entropy);
  }
  const double n = static_cast<double>(counts_.size());
  summary.average = sum / n;
  summary.deviation = std::sqrt(std::max(0.0, sumOfSquares / n - summary.average * summary.average));
  summary.minimum = minimum;
  summary.maximum = maximum;
  return summary;
}

}  // namespace mirelock
