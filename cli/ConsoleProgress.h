#pragma once
#include <cstdio>
#include <mutex>
#include <string>

#include "platform/UserMessages.h"

namespace mirelock {

// Standard error during a run: the progress line and the worker's messages.
// On a terminal the progress line is rewritten in place and a message first
// clears it; otherwise every new progress text is a line of its own.
class ConsoleProgress : public UserMessages {
 public:
  explicit ConsoleProgress(std::FILE* stream = stderr);
  void Show(const std::string& text) override;
  // Shows the text if it differs from the last one shown.
  void Update(const std::string& text);
  // Ends an in-place progress line so that later output starts on a new line.
  void Finish();

 private:
  void ClearLineLocked();

  std::FILE* stream_;
  bool terminal_;
  std::mutex mutex_;
  std::string shown_;
  bool lineOpen_ = false;
};

}  // namespace mirelock
