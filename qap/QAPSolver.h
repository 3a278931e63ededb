#pragma once
#include <memory>

#include "qap/QAPParameters.h"
#include "qap/QAPProblem.h"
#include "qap/QAPSearch.h"
#include "solver/QAPStats.h"
#include "solver/Solver.h"

namespace mirelock {

// Guided Local Search for the QAP over swap moves. The integer width of the
// search (32 or 64 bits) follows the instance's cost bounds, decided when the
// problem was read.
class QAPSolver : public Solver {
 public:
  void Solve() override;
  ProblemInstance& GetProblem() override { return problem_; }
  SolverStats& GetStats() override { return stats_; }
  SolverParameters& GetParameters() override { return parameters_; }

  QAPProblem& Problem() { return problem_; }
  QAPStats& Stats() { return stats_; }
  QAPParameters& Parameters() { return parameters_; }
  // The best permutation of the last run.
  const std::vector<int>& BestPermutation() const { return bestPerm_; }
  bool UsesWideArithmetic() const { return wide_; }
  int MonitorWriteError() const override;

 private:
  QAPProblem problem_;
  QAPStats stats_;
  QAPParameters parameters_;
  unsigned runNumber_ = 0;
  bool wide_ = false;
  std::uint64_t searchGeneration_ = 0;  // the problem's generation the searches were built on
  std::unique_ptr<QAPSearch<std::int32_t>> narrow_;
  std::unique_ptr<QAPSearch<std::int64_t>> wideSearch_;
  std::vector<int> bestPerm_;
};

}  // namespace mirelock
