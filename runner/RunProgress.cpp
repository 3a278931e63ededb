#include "runner/RunProgress.h"

namespace mirelock {

double RunProgress::WorkFraction() const {
  const std::size_t toSolve = PairsToSolve();
  if (toSolve == 0) return pairsTotal == 0 ? 0.0 : 1.0;
  double done = static_cast<double>(pairsDone - pairsSkipped);
  for (const WorkerProgress& worker : workers)
    if (worker.runs > 0 && worker.run > 0) done += static_cast<double>(worker.run - 1) / worker.runs;
  const double fraction = done / static_cast<double>(toSolve);
  return fraction > 1.0 ? 1.0 : fraction;
}

}  // namespace mirelock
