#pragma once
#include <cstdint>
#include <fstream>
#include <string>

namespace mirelock {

class TSPSolver;

// The monitor output file of a TSP run, in the QAP solver's layout as far as
// the TSP search has the values: a header line "Repairs", "Best_Cost",
// "Cost", "Augmented_Cost", then one line at the start of the run and after
// every R-th move. The run's statistics record is only read when its row is
// written (its entropy closes the open stays), so the per-run statistics
// columns of the QAP file are left out. Each run rewrites the file.
// Nothing here draws random numbers or touches the search, so monitored and
// plain runs make the same moves and results rows.
class TSPMonitorWriter {
 public:
  // At the start of a run: opens (truncates) the file when one is named and
  // writes the header and the line of the initial tour.
  void StartRun(TSPSolver& solver, const std::string& fileName, std::int32_t every);
  // After each move: a line when the repair count is a multiple of R.
  void AfterMove(TSPSolver& solver) {
    if (open_) WriteLineIfDue(solver);
  }

 private:
  void WriteLineIfDue(TSPSolver& solver);

  std::ofstream file_;
  bool open_ = false;
  std::uint32_t every_ = 1;
};

}  // namespace mirelock
