#pragma once
#include <cstdint>
#include <string>

namespace mirelock {

// The status line's text: empty when no run is active, the count and the
// current problem (its name after the last "/") while problems remain, the
// finished text once the solved count reaches the total.
std::string FormatProgressLine(bool running, std::uint32_t solved, std::uint32_t total,
                               const std::string& currentProblem);

}  // namespace mirelock
