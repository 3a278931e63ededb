#include "runner/RunProgress.h"

namespace mirelock {

std::optional<double> WorkerProgress::RunShare() const {
  // A limit of all bits set is no limit (a run bounded by time or a stop alone).
  if (run == 0 || runRepairLimit == 0 || runRepairLimit >= 0xFFFFFFFFu) return std::nullopt;
  const double share = static_cast<double>(runRepairs) / static_cast<double>(runRepairLimit);
  return share > 1.0 ? 1.0 : share;
}

double WorkerProgress::RunsDone() const {
  if (runs == 0 || run == 0) return 0.0;
  return static_cast<double>(run - 1) + RunShare().value_or(0.0);
}

double RunProgress::PairsInHand() const {
  double share = 0.0;
  for (const WorkerProgress& worker : workers)
    if (worker.runs > 0) share += worker.RunsDone() / worker.runs;
  return share;
}

double RunProgress::WorkFraction() const {
  const std::size_t toSolve = PairsToSolve();
  if (toSolve == 0) return pairsTotal == 0 ? 0.0 : 1.0;
  const double done = static_cast<double>(pairsDone - pairsSkipped) + PairsInHand();
  const double fraction = done / static_cast<double>(toSolve);
  return fraction > 1.0 ? 1.0 : fraction;
}

}  // namespace mirelock
