#include "app/NiceScale.h"

#include <cmath>

namespace mirelock {

namespace {

double NiceStep(double rough) {
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  const double fraction = rough / power;
  const double nice = fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10;
  return nice * power;
}

}  // namespace

NiceScale MakeNiceScale(double low, double high, int targetTicks) {
  if (!std::isfinite(low) || !std::isfinite(high)) return {};
  if (high < low) std::swap(low, high);
  if (high == low) {
    // One value: a range of one step around it, which for 0 starts at 0.
    const double spread = low == 0 ? 1.0 : std::abs(low) * 0.1;
    high += spread;
    if (low != 0) low -= spread;
  }
  const bool nonNegative = low >= 0;
  NiceScale scale;
  scale.step = NiceStep((high - low) / std::max(1, targetTicks - 1));
  scale.low = std::floor(low / scale.step) * scale.step;
  scale.high = std::ceil(high / scale.step) * scale.step;
  if (nonNegative && scale.low < 0) scale.low = 0;
  scale.ticks = static_cast<int>(std::lround((scale.high - scale.low) / scale.step)) + 1;
  return scale;
}

}  // namespace mirelock
