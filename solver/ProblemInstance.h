#pragma once
#include <istream>
#include <string>

namespace mirelock {

class UserMessages;

// A problem read from a problem file. Readers raise FatalError for a file
// that is not in their format.
class ProblemInstance {
 public:
  virtual ~ProblemInstance() = default;
  virtual std::istream& Read(std::istream& in) = 0;

  // Set by whoever opens the file, before Read: the name that error messages
  // give, and where warnings that reading goes on after are shown.
  virtual void SetSourceName(const std::string& /*name*/) {}
  virtual void SetMessages(UserMessages* /*messages*/) {}
};

}  // namespace mirelock
