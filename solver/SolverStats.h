#pragma once
#include <ostream>

#include "solver/RunTrace.h"

namespace mirelock {

// What one run reports: a row of tab-terminated fields under a matching header.
class SolverStats {
 public:
  virtual ~SolverStats() = default;
  virtual std::ostream& WriteRow(std::ostream& out) = 0;
  virtual std::ostream& WriteHeader(std::ostream& out) = 0;

  // The new bests of the current (or last finished) run.
  const RunTrace& Trace() const { return trace_; }

 protected:
  RunTrace trace_;
};

}  // namespace mirelock
