#include "cli/RunDriver.h"

#include <signal.h>
#include <string.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>

#include "runner/ProgressLine.h"

namespace mirelock {

namespace {

// The signal that asked the run to stop (0: none). A signal handler may touch
// nothing but a lock-free atomic; the polling loop below does the rest.
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

void OnStopSignal(int signal) {
  int none = 0;
  stopSignal.compare_exchange_strong(none, signal);
}

// Ctrl-C, and what a scheduler or a closed terminal sends (Slurm's scancel and
// time limit send SIGTERM; a lost session SIGHUP): each ends the current run
// the same way. The previous handlers come back when the run is over.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

class StopSignalScope {
 public:
  StopSignalScope() {
    stopSignal = 0;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i) ::sigaction(kStopSignals[i], &action, &previous_[i]);
  }
  ~StopSignalScope() {
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i) ::sigaction(kStopSignals[i], &previous_[i], nullptr);
  }
  StopSignalScope(const StopSignalScope&) = delete;
  StopSignalScope& operator=(const StopSignalScope&) = delete;

 private:
  struct sigaction previous_[std::size(kStopSignals)] {};
};

std::string SignalName(int signal) {
  switch (signal) {
    case SIGINT:
      return "SIGINT";
    case SIGTERM:
      return "SIGTERM";
    case SIGHUP:
      return "SIGHUP";
    default:
      return "signal " + std::to_string(signal);
  }
}

// What a run stopped by a signal leaves, so that a user reading a job's log knows what to resubmit.
void PrintKept(int signal, const RunReport& report) {
  std::string text = "mirelock: " + SignalName(signal) + " received; the run stopped. ";
  if (report.pairsTotal > 0) {
    text += std::to_string(report.pairsDone) + " of " + std::to_string(report.pairsTotal) +
            " pairs of this run are complete (" + std::to_string(report.pairsSkipped) +
            " were already) and stay; run the same command again to solve the rest.";
  }
  for (const std::string& pair : report.keptPartialPairs) text += "\nKept the finished runs of " + pair + ".";
  text += "\nNo temporary file of this run is left.\n";
  std::fputs(text.c_str(), stderr);
  std::fflush(stderr);
}

}  // namespace

int DriveRun(RunControls& controls, ConsoleProgress& console, const std::function<void()>& start) {
  controls.SetFatalErrorHandler([](const FatalError&) {});  // printed below, once the run is over
  int signal = 0;
  {
    StopSignalScope scope;
    start();
    // The progress line is polled, as the desktop app's timer does.
    while (!controls.WaitForWorkerEnd(std::chrono::milliseconds(200))) {
      if (signal == 0 && (signal = stopSignal.load()) != 0) controls.Cancel();
      const std::string line = controls.ProgressText();
      console.Update(line.empty() ? line : line + FormatRunShares(controls.Progress()));
    }
    if (signal == 0) signal = stopSignal.load();
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
  if (signal != 0) {
    PrintKept(signal, controls.LastReport());
    return 128 + signal;
  }
  switch (controls.LastOutcome()) {
    case RunOutcome::kError:
      return 1;
    case RunOutcome::kStopped:
      return 130;
    default:
      return 0;
  }
}

}  // namespace mirelock
