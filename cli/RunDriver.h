#pragma once
#include <functional>

#include "cli/ConsoleProgress.h"
#include "runner/RunControls.h"

namespace mirelock {

// Drives a run of the command line to its end: `start` begins it, the
// progress line goes to standard error, and Ctrl-C, SIGTERM or SIGHUP ends
// the current run at its next termination test with the finished lines kept
// and says what was kept. Returns the exit status: 0 finished, 1 ended by an
// error message (a pair that failed included), the fatal error's own status
// (after printing its text on its stream), 128 + the signal's number after
// a stop signal (130 Ctrl-C, 143 SIGTERM, 129 SIGHUP).
int DriveRun(RunControls& controls, ConsoleProgress& console, const std::function<void()>& start);

}  // namespace mirelock
