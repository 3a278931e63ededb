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

  // The file being read when the error arose, when the reader's own text may
  // not name it (several readers keep fixed message texts).
  const std::string& Source() const { return source_; }
  FatalError WithSource(std::string source) const {
    FatalError copy = *this;
    copy.source_ = std::move(source);
    return copy;
  }
  // A line naming the source for the user, empty when the text already names it.
  std::string SourceNote() const {
    if (source_.empty() || text_.find(source_) != std::string::npos) return "";
    return "(while reading " + source_ + ")";
  }

 private:
  std::string text_;
  std::string source_;
  OutputStream stream_;
  int exitStatus_;
};

}  // namespace mirelock
