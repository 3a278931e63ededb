#include "platform/UserMessages.h"

#include <cstdio>

namespace mirelock {

void StderrMessages::Show(const std::string& text) {
  std::string line = text;
  if (line.empty() || line.back() != '\n') line += '\n';
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

void RecordingMessages::Show(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  messages_.push_back(text);
}

std::vector<std::string> RecordingMessages::Messages() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_;
}

}  // namespace mirelock
