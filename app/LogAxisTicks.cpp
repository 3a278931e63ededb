#include "app/LogAxisTicks.h"

#include <cmath>

#include "app/NiceScale.h"

namespace mirelock {

namespace {

constexpr int kFewestTicks = 3;
constexpr int kMostTicks = 12;

// The multiples m x 10^k (m from `mantissas`) inside [low, high].
std::vector<double> DecadeTicks(double low, double high, const std::vector<double>& mantissas) {
  std::vector<double> ticks;
  const int first = static_cast<int>(std::floor(std::log10(low)));
  const int last = static_cast<int>(std::ceil(std::log10(high)));
  for (int k = first; k <= last; ++k) {
    const double decade = std::pow(10.0, k);
    for (const double m : mantissas) {
      const double value = m * decade;
      // A relative slack keeps a decade at the very edge of the range.
      if (value >= low * (1 - 1e-9) && value <= high * (1 + 1e-9)) ticks.push_back(value);
    }
  }
  return ticks;
}

}  // namespace

QString AxisNumber(double value) {
  if (std::abs(value) < 1e15 && value == std::floor(value)) return QString::number(value, 'f', 0);
  return QString::number(value, 'g', 6);
}

std::vector<LogTick> MakeLogTicks(double low, double high) {
  std::vector<LogTick> ticks;
  if (!(low > 0) || !(high > low) || !std::isfinite(high)) return ticks;
  std::vector<double> values;
  for (const std::vector<double>& mantissas : {std::vector<double>{1}, std::vector<double>{1, 2, 5}}) {
    values = DecadeTicks(low, high, mantissas);
    if (static_cast<int>(values.size()) >= kFewestTicks) break;
  }
  if (static_cast<int>(values.size()) > kMostTicks) values = DecadeTicks(low, high, {1});
  if (static_cast<int>(values.size()) < kFewestTicks) {
    // Within about a decade the log axis is nearly linear: round linear steps.
    const NiceScale scale = MakeNiceScale(low, high, 8);
    values.clear();
    for (double v = std::ceil(low / scale.step) * scale.step; v <= high * (1 + 1e-12); v += scale.step)
      if (v > 0) values.push_back(v);
  }
  for (const double value : values) {
    const QString label = AxisNumber(value);
    if (ticks.empty() || ticks.back().label != label) ticks.push_back({value, label});
  }
  return ticks;
}

}  // namespace mirelock
