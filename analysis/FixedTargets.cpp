#include "analysis/FixedTargets.h"

#include <charconv>

#include "analysis/TraceReader.h"

namespace mirelock::analysis {

namespace {

// A gap this far within a target still reaches it (the gaps are quotients of doubles).
constexpr double kTargetSlack = 1e-9;

}  // namespace

std::vector<double> DefaultTargets() { return {0, 0.1, 0.5, 1, 2, 5}; }

std::optional<std::vector<double>> ParseTargets(const std::string& text, std::string& error) {
  std::vector<double> targets;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    double value = 0;
    const char* first = text.data() + start;
    const char* last = text.data() + comma;
    const auto result = std::from_chars(first, last, value);
    if (first == last || result.ec != std::errc() || result.ptr != last || !(value >= 0) || value > 1e6) {
      error = "--targets takes percentages above the best known cost, like 0,0.5,1; not '" + text + "'";
      return std::nullopt;
    }
    if (!targets.empty() && value <= targets.back()) {
      error = "--targets must increase: " + text;
      return std::nullopt;
    }
    targets.push_back(value);
    start = comma + 1;
  }
  return targets;
}

FixedTargetEfforts CollectFixedTargetEfforts(const Report& report, const std::vector<double>& targets) {
  FixedTargetEfforts result;
  const bool sat = report.problemType == kProblemSAT;
  result.targets = sat ? std::vector<double>{0} : targets;
  const std::size_t experimentCount = report.experiments.size();
  result.efforts.assign(report.problems.size(),
                        std::vector<std::vector<std::vector<RunEffort>>>(
                            experimentCount, std::vector<std::vector<RunEffort>>(result.targets.size())));
  for (std::size_t i = 0; i < report.runs.size() && i < report.traces.size(); ++i) {
    if (!report.traces[i]) continue;
    const RunRecord& run = report.runs[i];
    const TracedRun& trace = *report.traces[i];
    if (!sat && trace.cost.empty()) continue;
    if (!sat && !TraceGap(report, i, trace.cost.back())) continue;  // no best known: no targets
    for (std::size_t t = 0; t < result.targets.size(); ++t) {
      RunEffort effort{false, static_cast<double>(trace.totalRepairs), trace.totalCpuSeconds};
      for (std::size_t k = 0; k < trace.cost.size(); ++k) {
        const bool reached = sat ? trace.cost[k] == 0 : *TraceGap(report, i, trace.cost[k]) <= result.targets[t] + kTargetSlack;
        if (reached) {
          effort = RunEffort{true, static_cast<double>(trace.repairs[k]), trace.cpuSeconds[k]};
          break;
        }
      }
      result.efforts[run.problem][run.experiment][t].push_back(effort);
    }
  }
  return result;
}

}  // namespace mirelock::analysis
