#pragma once
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "runner/BatchPartition.h"

namespace mirelock {

// One pair handed to a worker.
struct PairTicket {
  std::size_t problemSlot = 0;  // the problem's place in natural order
  std::string problem;
  std::size_t experiment = 0;  // index into the experiment list
  bool startsProblem = false;  // the first pair taken of its problem
};

// The pairs of one batch run (or of its shard) in the order a single worker
// takes them: problem by problem, each problem's experiments in list order.
// Any number of workers take pairs from it; a problem counts as finished when
// the last of its pairs is done, whichever worker did it.
//
// With random ordering the next problem is drawn as r mod n over the problems
// not yet taken, from a generator of the queue's own that starts where a
// fresh thread's generator starts. The solvers never touch it, so the order is
// the same for any number of workers, in every shard (a shard skips the drawn
// problems it holds no pair of) and on every resumption.
class PairQueue {
 public:
  PairQueue(std::vector<std::string> problems, std::size_t experimentCount, const BatchPartition& partition);

  // Problems with at least one pair in this queue: the progress line's total.
  std::size_t ProblemCount() const { return problemCount_; }
  // Pairs in this queue: the progress display's total.
  std::size_t PairCount() const { return pairCount_; }

  // The next pair, or none when every pair has been handed out. `randomOrder`
  // is read afresh whenever a new problem is chosen.
  std::optional<PairTicket> Next(bool randomOrder);

  // Records that a handed-out pair is done; true when it was the last
  // outstanding pair of its problem.
  bool Done(const PairTicket& ticket);

 private:
  struct Problem {
    std::string name;
    std::vector<std::size_t> experiments;  // this queue's pairs of the problem
    std::size_t outstanding = 0;           // not yet done
  };

  std::size_t DrawIndex(std::size_t count);

  std::mutex mutex_;
  std::vector<Problem> problems_;
  std::vector<std::size_t> notTaken_;  // slots of problems not chosen yet, in natural order
  std::optional<std::size_t> current_;
  std::size_t nextExperiment_ = 0;
  std::size_t problemCount_ = 0;
  std::size_t pairCount_ = 0;
  std::uint32_t orderingState_;
};

}  // namespace mirelock
