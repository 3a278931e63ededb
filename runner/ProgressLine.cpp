#include "runner/ProgressLine.h"

namespace mirelock {

std::string FormatProgressLine(bool running, std::uint32_t solved, std::uint32_t total,
                               const std::string& currentProblem) {
  if (!running) return std::string();
  if (solved == total) return "Finished solving all problems for all experiments";
  const auto slash = currentProblem.find_last_of('/');
  const std::string name = slash == std::string::npos ? currentProblem : currentProblem.substr(slash + 1);
  return "Number of problems solved: " + std::to_string(solved) + " (out of " + std::to_string(total) +
         ")\tCurrently solving " + name;
}

}  // namespace mirelock
