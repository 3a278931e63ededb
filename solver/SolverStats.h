#pragma once
#include <ostream>

namespace mirelock {

// What one run reports: a row of tab-terminated fields under a matching header.
class SolverStats {
 public:
  virtual ~SolverStats() = default;
  virtual std::ostream& WriteRow(std::ostream& out) = 0;
  virtual std::ostream& WriteHeader(std::ostream& out) = 0;
};

}  // namespace mirelock
