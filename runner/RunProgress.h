#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "experiments/CExperiment.h"

namespace mirelock {

// What one worker of the current run is doing: the pair it holds and the run
// of that pair in progress (run 0 while the problem is being read).
struct WorkerProgress {
  std::string problem;
  std::size_t experimentIndex = 0;  // position in the run's experiment list
  CExperiment experiment;
  unsigned run = 0;
  unsigned runs = 0;
  // The run in progress as its solver last published it: repairs so far and the run's repair limit
  // (0 when not yet known).
  std::uint64_t runRepairs = 0;
  std::uint64_t runRepairLimit = 0;

  // Runs of the pair finished, with the share of the one in progress: 1.37 is run 2 at 37 %.
  double RunsDone() const;
  // The share of the run in progress, 0..1; none while unknown (no limit published, or no limit at all).
  std::optional<double> RunShare() const;
};

// A snapshot of the current run for a progress display, taken under the run
// controls' lock. Pairs count every (problem, experiment) of the run's queue;
// those found complete and skipped count as done.
struct RunProgress {
  bool hasWorker = false;
  bool running = false;  // false with a worker: paused
  bool monitorRun = false;
  // Counts the workers the run controls have started; a new value means a new run.
  std::uint64_t runSerial = 0;
  std::uint32_t problemsSolved = 0;
  std::uint32_t problemsTotal = 0;
  std::size_t pairsTotal = 0;
  std::size_t pairsDone = 0;
  std::size_t pairsSkipped = 0;
  std::size_t experimentCount = 0;
  std::vector<WorkerProgress> workers;  // only those holding a pair
  // The run most recently started by any worker of the latest run, kept after
  // the worker ends (a monitor chart names the run it shows by it).
  unsigned lastRunStarted = 0;
  bool lastRunWasMonitor = false;

  // Share of the run's solving work done: finished pairs, plus the finished
  // runs of the pairs in hand; skipped pairs count neither way.
  double WorkFraction() const;
  // The finished share of the pairs the workers hold (2.5 runs of 10 count 0.25 of a pair).
  double PairsInHand() const;
  // Pairs that need solving in this run (total less the skipped ones).
  std::size_t PairsToSolve() const { return pairsTotal - pairsSkipped; }
};

// What a run that has ended kept, for the message a stopped command line run prints.
struct RunReport {
  std::size_t pairsTotal = 0;
  std::size_t pairsDone = 0;     // complete, skipped ones included
  std::size_t pairsSkipped = 0;  // found complete before solving
  std::vector<std::string> failedPairs;       // "problem, experiment N: why"
  std::vector<std::string> keptPartialPairs;  // "results file (K of N runs)"
};

}  // namespace mirelock
