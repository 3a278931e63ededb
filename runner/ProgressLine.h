#pragma once
#include <cstdint>
#include <string>

#include "runner/RunProgress.h"

namespace mirelock {

// The status line's text: empty when no run is active, the count and the
// current problem (its name after the last "/") while problems remain, the
// finished text once the solved count reaches the total.
std::string FormatProgressLine(bool running, std::uint32_t solved, std::uint32_t total,
                               const std::string& currentProblem);

// For a command line's progress line: where each worker is in its pair, e.g. "  [run 2 of 10, 37 %]",
// so that a run of minutes shows it is moving; empty without a run in progress.
std::string FormatRunShares(const RunProgress& progress);

}  // namespace mirelock
