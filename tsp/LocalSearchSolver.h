#pragma once
#include <cstdint>
#include <vector>

#include "solver/Solver.h"
#include "tsp/TSPParameters.h"
#include "tsp/TSPStats.h"

namespace mirelock {

// The generic GLS run: a fresh start, then local search and penalisation in
// turn until the termination test holds. The problem-specific steps are left
// to the derived solver. The declaration order of the virtual operations
// continues the slot order of Solver.
class LocalSearchSolver : public Solver {
 public:
  void Solve() override;
  SolverStats& GetStats() override { return stats_; }
  SolverParameters& GetParameters() override { return parameters_; }

  virtual void StartRun() = 0;
  virtual void ResetPenalties() = 0;
  virtual void InitialSolution() = 0;
  virtual bool IsFinished();
  virtual void Evaluate() = 0;
  virtual void LocalSearch() = 0;
  virtual void Penalise() = 0;
  virtual std::int32_t GetBestCost() = 0;
  virtual std::int32_t TourCost(const std::vector<std::int32_t>& tour) = 0;
  virtual const std::vector<std::int32_t>& GetBestTour() = 0;
  virtual std::int32_t GetSize() = 0;

  std::int32_t RunsCompleted() const { return runsCompleted_; }
  TSPParameters& Parameters() { return parameters_; }
  const TSPStats& Stats() const { return stats_; }

 protected:
  // Ends the current run at the next termination test, as if its limit were reached.
  void EndRun() { runEnded_ = true; }

  std::int32_t runsCompleted_ = 0;
  bool runEnded_ = false;
  TSPParameters parameters_;
  TSPStats stats_;
};

}  // namespace mirelock
