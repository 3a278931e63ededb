#include "cli/ConsoleProgress.h"

#include <unistd.h>

namespace mirelock {

ConsoleProgress::ConsoleProgress(std::FILE* stream)
    : stream_(stream), terminal_(::isatty(::fileno(stream)) != 0) {}

void ConsoleProgress::ClearLineLocked() {
  if (!lineOpen_) return;
  std::fputs("\r\x1b[K", stream_);
  lineOpen_ = false;
}

void ConsoleProgress::Show(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  ClearLineLocked();
  std::string line = text;
  if (line.empty() || line.back() != '\n') line += '\n';
  std::fputs(line.c_str(), stream_);
  // The progress line comes back at the next update.
  if (terminal_) shown_.clear();
  std::fflush(stream_);
}

void ConsoleProgress::Update(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (text == shown_) return;
  shown_ = text;
  if (terminal_) {
    ClearLineLocked();
    std::fputs(text.c_str(), stream_);
    lineOpen_ = !text.empty();
  } else if (!text.empty()) {
    std::fputs((text + "\n").c_str(), stream_);
  }
  std::fflush(stream_);
}

void ConsoleProgress::Finish() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (lineOpen_) std::fputs("\n", stream_);
  lineOpen_ = false;
  std::fflush(stream_);
}

}  // namespace mirelock
