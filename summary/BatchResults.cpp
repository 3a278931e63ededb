#include "summary/BatchResults.h"

#include "platform/FilePaths.h"

#include "runner/ResultsFiles.h"
#include "summary/CostConversion.h"
#include "summary/ResultsFileReader.h"

namespace mirelock {

namespace {
constexpr const char* kNoProblems = "No problems completed for all experiments, please solve some first.";
}  // namespace

std::optional<BatchResults> ReadBatchResults(const CompletedProblemsQuery& query, UserMessages& messages,
                                             bool keepRawCosts) {
  const CompletedProblems completed = FindCompletedProblems(query, messages);
  const std::vector<std::string>& problems = completed.problems;
  if (problems.empty()) {
    messages.Show(kNoProblems);
    return std::nullopt;
  }
  std::vector<std::uint32_t> runs;
  for (const CExperiment& experiment : query.experiments) runs.push_back(experiment.m_nNumRuns);
  BatchResults results;
  results.converted = ResultsTable(problems, runs);
  ResultsFileReader reader(results.converted, messages);
  for (std::size_t p = 0; p < problems.size(); ++p)
    for (std::size_t e = 0; e < query.experiments.size(); ++e) {
      const std::string name = completed.naming.FileName(query.problemType, problems[p], query.experiments[e]);
      reader.Read(JoinPath(query.resultsDirectory, name), p, e);
    }
  results.bestKnownCosts = BestKnownCostsReader(messages).Read(query.problemType, query.problemsDirectory);
  if (keepRawCosts) results.raw = results.converted;

  CostConversion conversion(query.problemType, results.bestKnownCosts);
  conversion.Convert(results.converted);
  results.problemsWithoutBest = conversion.ProblemsWithoutBest();
  // A missing best.txt has had its message already.
  if (results.bestKnownCosts.fileRead && !results.problemsWithoutBest.empty()) {
    std::string names;
    for (const std::string& name : results.problemsWithoutBest) names.append(names.empty() ? "" : ", ").append(name);
    messages.Show("No usable best known cost in best.txt for " + names + "; their cost columns are written as NA");
  }
  return results;
}

}  // namespace mirelock
