#pragma once
#include <istream>

namespace mirelock {

// A problem read from a problem file. Readers raise FatalError for a file
// that is not in their format.
class ProblemInstance {
 public:
  virtual ~ProblemInstance() = default;
  virtual std::istream& Read(std::istream& in) = 0;
};

}  // namespace mirelock
