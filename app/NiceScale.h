#pragma once

namespace mirelock {

// An axis range widened to round numbers, with the step between its ticks
// (1, 2 or 5 times a power of ten) and how many ticks that makes.
struct NiceScale {
  double low = 0;
  double high = 1;
  double step = 1;
  int ticks = 2;
};

// About `targetTicks` round ticks covering [low, high]; a range that holds
// only values at or above 0 never reaches below 0.
NiceScale MakeNiceScale(double low, double high, int targetTicks = 6);

}  // namespace mirelock
