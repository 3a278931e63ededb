#include "app/ChartAxisScales.h"

#include <QCategoryAxis>
#include <QValueAxis>
#include <cmath>

#include "app/LogAxisTicks.h"
#include "app/NiceScale.h"

namespace mirelock {

void ApplyScale(QValueAxis* axis, const NiceScale& scale, double low, double high) {
  axis->setTickType(QValueAxis::TicksFixed);
  axis->setRange(low, high);
  axis->setTickAnchor(0.0);
  axis->setTickInterval(scale.step);
  axis->setLabelFormat(scale.step >= 1 ? QStringLiteral("%.0f") : QStringLiteral("%g"));
  axis->setTickType(QValueAxis::TicksDynamic);
}

void ApplyScale(QValueAxis* axis, const NiceScale& scale) { ApplyScale(axis, scale, scale.low, scale.high); }

void LabelLogAxis(QCategoryAxis* axis) {
  const double low = axis->min();
  const double high = axis->max();
  for (const QString& label : axis->categoriesLabels()) axis->remove(label);
  axis->setStartValue(low);
  for (const LogTick& tick : MakeLogTicks(std::pow(10.0, low), std::pow(10.0, high))) {
    const double at = std::log10(tick.value);
    if (at > low && at <= high) axis->append(tick.label, at);
  }
  // Removing and appending categories may move the range; the view's range stays.
  axis->setRange(low, high);
}

}  // namespace mirelock
