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

std::string FormatRunShares(const RunProgress& progress) {
  std::string text;
  for (const WorkerProgress& worker : progress.workers) {
    if (worker.run == 0) continue;
    text += text.empty() ? "  [" : "; ";
    text += "run " + std::to_string(worker.run) + " of " + std::to_string(worker.runs);
    if (const auto share = worker.RunShare()) text += ", " + std::to_string(static_cast<int>(*share * 100)) + " %";
  }
  return text.empty() ? text : text + "]";
}

}  // namespace mirelock
