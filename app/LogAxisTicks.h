#pragma once
#include <QString>
#include <vector>

namespace mirelock {

// A labelled tick of a log-scale axis: the value and its label.
struct LogTick {
  double value;
  QString label;
};

// Round ticks for a log-scale axis showing [low, high] (both > 0): decades
// when the range spans many, decades with their 2 and 5 multiples when it
// spans a few, and the round ticks of a linear scale when it lies within
// about a decade (a zoomed-in view), so that every view has several labels.
std::vector<LogTick> MakeLogTicks(double low, double high);

// The label of an axis value: whole numbers in full, others to six digits.
QString AxisNumber(double value);

}  // namespace mirelock
