#include "analysis/TraceReader.h"

#include "platform/FilePaths.h"
#include "runner/ProblemDiscovery.h"
#include "runner/ResultsNaming.h"

namespace mirelock::analysis {

void ReadTraces(const CMirelockDoc& doc, Report& report, UserMessages& messages) {
  report.traces.assign(report.runs.size(), std::nullopt);
  report.traceErrors.clear();
  const ResultsNaming naming(DiscoverProblems(doc.m_strProblemsDir, doc.m_nProblemType));
  // Runs are grouped by pair in file order: [first, last) is one pair's.
  std::size_t pairs = 0, missing = 0;
  std::vector<std::string> missingErrors;
  for (std::size_t first = 0; first < report.runs.size();) {
    std::size_t last = first;
    while (last < report.runs.size() && report.runs[last].problem == report.runs[first].problem &&
           report.runs[last].experiment == report.runs[first].experiment)
      ++last;
    const RunRecord& run = report.runs[first];
    ++pairs;
    if (run.experiment < doc.m_experiments.size()) {
      const std::string resultsName =
          naming.FileName(doc.m_nProblemType, report.problems[run.problem], doc.m_experiments[run.experiment]);
      const std::string path = JoinPath(doc.m_strResultsDir, TraceFileName(resultsName));
      std::vector<std::optional<double>> repairsToBest;
      for (std::size_t r = first; r < last; ++r) repairsToBest.push_back(report.runs[r].repairsToBest);
      TraceFileContents contents = ReadTraceFile(path, repairsToBest);
      if (contents.error.empty()) {
        for (std::size_t r = first; r < last; ++r) report.traces[r] = std::move(contents.runs[r - first]);
      } else if (contents.missing) {
        ++missing;
        missingErrors.push_back(contents.error);
      } else {
        report.traceErrors.push_back(contents.error);
      }
    }
    first = last;
  }
  report.noTraces = pairs > 0 && missing == pairs;
  if (report.noTraces) {
    messages.Show("No trace files beside the results files in " + doc.m_strResultsDir +
                  " (a batch made before traces were recorded): the views over repairs and time that need them are "
                  "left out");
    return;
  }
  report.traceErrors.insert(report.traceErrors.begin(), missingErrors.begin(), missingErrors.end());
  for (const std::string& error : report.traceErrors) messages.Show(error + "; its runs are left out of the trace views");
}

std::optional<double> TraceGap(const Report& report, std::size_t runIndex, std::int64_t cost) {
  const RunRecord& run = report.runs[runIndex];
  if (report.problemType == kProblemSAT || run.problem >= report.bestKnown.size()) return std::nullopt;
  const std::optional<double>& best = report.bestKnown[run.problem];
  if (!best || *best == 0) return std::nullopt;
  const double value = static_cast<double>(cost);
  if (report.problemType != kProblemMaxSAT) return (value - *best) / *best * 100;
  const std::optional<TracedRun>& trace = report.traces[runIndex];
  if (!run.cost || !trace || trace->cost.empty()) return std::nullopt;
  const double totalWeight = *run.cost + static_cast<double>(trace->cost.back());
  return (*best - (totalWeight - value)) / *best * 100;
}

}  // namespace mirelock::analysis
