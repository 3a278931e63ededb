#include "cli/RunDriver.h"

#include <signal.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>

namespace mirelock {

namespace {

// Set by the SIGINT handler; a signal handler can reach nothing else.
volatile std::sig_atomic_t interruptRequested = 0;

void OnInterrupt(int) { interruptRequested = 1; }

// Installs the Ctrl-C handler for the life of a run and restores the previous one.
class InterruptScope {
 public:
  InterruptScope() {
    interruptRequested = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &previous_);
  }
  ~InterruptScope() { ::sigaction(SIGINT, &previous_, nullptr); }
  InterruptScope(const InterruptScope&) = delete;
  InterruptScope& operator=(const InterruptScope&) = delete;

 private:
  struct sigaction previous_ {};
};

}  // namespace

int DriveRun(RunControls& controls, ConsoleProgress& console, const std::function<void()>& start) {
  controls.SetFatalErrorHandler([](const FatalError&) {});  // printed below, once the run is over
  bool interrupted = false;
  {
    InterruptScope scope;
    start();
    // The progress line is polled, as the desktop app's timer does.
    while (!controls.WaitForWorkerEnd(std::chrono::milliseconds(200))) {
      if (interruptRequested && !interrupted) {
        interrupted = true;
        controls.Cancel();
      }
      console.Update(controls.ProgressText());
    }
  }
  console.Finish();

  if (const auto fatal = controls.LastFatalError()) {
    std::FILE* stream = fatal->Stream() == OutputStream::Out ? stdout : stderr;
    const std::string& text = fatal->Text();
    std::fputs((text.empty() || text.back() != '\n' ? text + "\n" : text).c_str(), stream);
    std::fflush(stream);
    if (!fatal->SourceNote().empty()) std::fputs((fatal->SourceNote() + "\n").c_str(), stderr);
    return fatal->ExitStatus();
  }
  switch (controls.LastOutcome()) {
    case RunOutcome::kError:
      return 1;
    case RunOutcome::kStopped:
      return 130;
    default:
      return interrupted ? 130 : 0;
  }
}

}  // namespace mirelock
