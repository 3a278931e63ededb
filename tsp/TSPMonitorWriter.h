#pragma once
#include <cstdint>
#include <fstream>
#include <string>

namespace mirelock {

// One line of the monitor file: the search state after `repairs` moves.
struct TSPMonitorPoint {
  std::uint32_t repairs = 0;
  std::int64_t bestCost = 0;
  std::int64_t cost = 0;
  double augmentedCost = 0.0;  // in tour-cost units, penalties included
};

// The monitor output file of a TSP run, in the QAP solver's layout as far as
// the TSP search has the values: a header line "Repairs", "Best_Cost",
// "Cost", "Augmented_Cost", then one line at the start of the run and after
// every R-th move. The run's statistics record is only read when its row is
// written (its entropy closes the open stays), so the per-run statistics
// columns of the QAP file are left out. Each run rewrites the file.
// Nothing here draws random numbers or touches the search, so monitored and
// plain runs make the same moves and results rows. Both TSP searches (the full
// scan and fast local search) write through it, each with its own costs.
class TSPMonitorWriter {
 public:
  // At the start of a run: opens (truncates) the file when one is named and
  // writes the header. The caller then writes the line of the initial tour.
  void StartRun(const std::string& fileName, std::int32_t every);
  // True when a line is due after `repairs` moves: one test per move.
  bool Due(std::uint32_t repairs) const { return open_ && repairs % every_ == 0; }
  void Write(const TSPMonitorPoint& point);
  // errno of the first failure to open or write the file (EIO when none was
  // set); 0 when there was none.
  int Error() const { return error_; }

 private:
  void NoteFailure();

  std::ofstream file_;
  bool open_ = false;
  std::uint32_t every_ = 1;
  int error_ = 0;
};

}  // namespace mirelock
