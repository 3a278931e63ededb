#pragma once
#include <stdexcept>
#include <string>

namespace mirelock {

enum class OutputStream { Out, Err };

// An error inside a reader or solver that makes the run meaningless. It
// carries the line the program prints, the stream it goes to and the exit
// status; the command line prints it and exits, the desktop app shows it and
// ends the batch without leaving the program.
class FatalError : public std::runtime_error {
 public:
  FatalError(std::string text, OutputStream stream, int exitStatus)
      : std::runtime_error(text), text_(std::move(text)), stream_(stream), exitStatus_(exitStatus) {}

  const std::string& Text() const { return text_; }
  OutputStream Stream() const { return stream_; }
  int ExitStatus() const { return exitStatus_; }

 private:
  std::string text_;
  OutputStream stream_;
  int exitStatus_;
};

}  // namespace mirelock
