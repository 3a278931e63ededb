#pragma once
#include <stdexcept>
#include <string>

namespace mirelock {

// A command that cannot do its job: the text goes to standard error and the
// process ends with the status (1 unless stated otherwise). An empty text
// means the message has been shown already.
class CommandError : public std::runtime_error {
 public:
  explicit CommandError(const std::string& text, int status = 1)
      : std::runtime_error(text), status_(status) {}
  int Status() const { return status_; }

 private:
  int status_;
};

}  // namespace mirelock
