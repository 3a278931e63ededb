#pragma once
#include <cstdint>
#include <fstream>
#include <memory>
#include <ostream>
#include <vector>

#include "platform/UserMessages.h"
#include "sat/FlatFormula.h"
#include "sat/GLSSATParameters.h"
#include "sat/GLSSATStats.h"
#include "sat/SATProblem.h"
#include "sat/SearchState.h"
#include "solver/Solver.h"

namespace mirelock {

// Guided Local Search for SAT and weighted MAX-SAT: single-variable flips
// guided by integer clause penalties, with optional aspiration, random moves
// and penalty decay. One Solve is one run; the variables of the problem hold
// the best assignment of the last run afterwards.
class GLSSATSolver : public Solver {
 public:
  // Reader warnings of the problem go to `messages` (null: standard error).
  explicit GLSSATSolver(UserMessages* messages = nullptr);

  void Solve() override;
  int MonitorWriteError() const override { return monitorError_; }
  ProblemInstance& GetProblem() override { return problem_; }
  SolverStats& GetStats() override { return stats_; }
  SolverParameters& GetParameters() override { return parameters_; }
  virtual std::ostream& WriteOptions(std::ostream& out) { return parameters_.WriteOptions(out); }

  // Switches problem and statistics to the weighted clause format.
  void SetWeighted(bool weighted);

  SATProblem& Problem() { return problem_; }
  GLSSATStats& Stats() { return stats_; }
  GLSSATParameters& Parameters() { return parameters_; }
  // The best cost of the last run (the cost of the assignment left in the variables).
  std::uint64_t BestCost() const { return bestCost_; }
  // The search state of the last run, for tests; null before the first run.
  const SearchState* State() const { return state_.get(); }

  static constexpr std::int64_t kScale = 10000;
  static constexpr std::uint64_t kNoCost = ~std::uint64_t{0};

 private:
  void PrepareFormula();
  bool TerminationTest();
  void RunSearch();
  bool IdleLimitPassed(std::uint64_t idleRounds, std::int64_t lambdaUnits) const;
  std::int64_t FindAspirationCandidate() const;
  // `equalScores`: every element of the list has the same D.
  std::int64_t Pick(const IndexedVariableList& list, bool equalScores);
  void RecordBest(bool byAspiration);
  void WriteMonitorLine();
  void FinishRun();

  SATProblem problem_;
  GLSSATStats stats_;
  GLSSATParameters parameters_;
  FlatFormula formula_;
  bool formulaBuilt_ = false;
  std::unique_ptr<SearchState> state_;
  std::vector<std::uint8_t> startValues_;
  std::vector<std::uint8_t> bestValues_;
  std::vector<std::uint32_t> ties_;  // scratch of Pick, one slot per variable
  std::uint64_t bestCost_ = kNoCost;
  std::uint32_t runNumber_ = 0;
  // Settings of the current run, derived once from the parameters.
  std::uint64_t repairLimit_ = 0;
  bool timeLimited_ = false;
  double maxSeconds_ = 0.0;
  std::uint64_t monitorInterval_ = 1;
  std::ofstream monitor_;
  bool monitoring_ = false;
  int monitorError_ = 0;  // see Solver::MonitorWriteError
};

}  // namespace mirelock
