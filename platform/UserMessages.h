#pragma once
#include <mutex>
#include <string>
#include <vector>

namespace mirelock {

// Where messages meant for the user go. The desktop app shows a modal box and
// makes the caller wait until it is dismissed; the command line prints to
// standard error; tests record.
class UserMessages {
 public:
  virtual ~UserMessages() = default;
  virtual void Show(const std::string& text) = 0;
};

// One message per line on standard error (a trailing newline in the text is not doubled).
class StderrMessages : public UserMessages {
 public:
  void Show(const std::string& text) override;
};

// Keeps every message, in order; safe to use from several threads.
class RecordingMessages : public UserMessages {
 public:
  void Show(const std::string& text) override;
  std::vector<std::string> Messages() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> messages_;
};

}  // namespace mirelock
