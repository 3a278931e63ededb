#include "tsp/LocalSearchSolver.h"

#include "platform/FatalError.h"
#include "platform/Random.h"

namespace mirelock {

// Exit status of a run whose best tour disagrees with its best cost: that of
// an aborted process, since it means the solver itself is faulty.
constexpr int kInternalFaultStatus = 134;

void LocalSearchSolver::Solve() {
  stats_.Reset(&parameters_);
  stats_.StartClock();
  runEnded_ = false;
  parameters_.SetProblemSize(GetSize());
  if (parameters_.Seed() != TSPParameters::kDoNotSeed) {
    SeedRandom(static_cast<std::uint32_t>(parameters_.Seed()) *
               static_cast<std::uint32_t>(runsCompleted_ + 1));
  }

  InitialSolution();
  ResetPenalties();
  Evaluate();
  StartRun();
  do {
    LocalSearch();
    if (!IsFinished()) Penalise();
  } while (!IsFinished());

  stats_.StopClock();
  ++runsCompleted_;

  const std::int32_t recomputed = TourCost(GetBestTour());
  if (recomputed != GetBestCost()) {
    throw FatalError(
        "Error: Best found solution is not correct cost\nCost should be: " + std::to_string(recomputed) +
            " but actually: " + std::to_string(GetBestCost()) + "\n",
        OutputStream::Out, kInternalFaultStatus);
  }
}

bool LocalSearchSolver::IsFinished() {
  // Reading the clock costs more than a small move; skip it when there is no time limit.
  if (parameters_.MaxSeconds() != TSPParameters::kNoLimit &&
      stats_.ElapsedSeconds() >= static_cast<double>(parameters_.MaxSeconds())) {
    return true;
  }
  if (stats_.Repairs() >= parameters_.MaxRepairs()) return true;
  PublishRunProgress(stats_.Repairs(), parameters_.MaxRepairs());
  if (GetBestCost() <= parameters_.TargetCost() || runEnded_) return true;
  return StopTest();
}

}  // namespace mirelock
