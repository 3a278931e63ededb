#include "summary/CSummariser.h"


#include "platform/AtomicFileWriter.h"
#include "platform/FilePaths.h"
#include "runner/ResultsFiles.h"
#include "summary/CompletedProblems.h"
#include "summary/CostConversion.h"
#include "summary/FullResultsReport.h"
#include "summary/ResultsFileReader.h"
#include "summary/SummaryReport.h"

namespace mirelock {

namespace {
constexpr const char* kNoProblems = "No problems completed for all experiments, please solve some first.";
constexpr const char* kNoExperiments = "Please input some experiments to summarise";
}  // namespace

CSummariser::CSummariser(const CMirelockDoc& doc, UserMessages& messages)
    : problemType_(doc.m_nProblemType),
      problemsDirectory_(doc.m_strProblemsDir),
      resultsDirectory_(doc.m_strResultsDir),
      fullResultsFile_(doc.m_strFullResultsFile),
      summaryFile_(doc.m_strSummaryFile),
      experiments_(doc.m_experiments),
      runStarted_(doc.m_bRunStarted),
      solvedProblems_(doc.m_solvedProblems),
      messages_(messages) {}

bool CSummariser::Summarise() {
  // Without experiments every problem would count as completed and the
  // reports would be replaced by empty ones.
  if (experiments_.empty()) {
    messages_.Show(kNoExperiments);
    return false;
  }
  if (problemType_ >= kProblemTypeCount) {
    // No file pattern or results name exists for such a type; the best known
    // costs reader has the message for it.
    ReadInBestKnownCosts();
    return false;
  }
  const std::vector<std::string> problems = FindCompletedProblems(
      {problemType_, problemsDirectory_, resultsDirectory_, experiments_, runStarted_, solvedProblems_},
      messages_);
  if (problems.empty()) {
    messages_.Show(kNoProblems);
    return false;
  }
  std::vector<std::uint32_t> runs;
  for (const CExperiment& experiment : experiments_) runs.push_back(experiment.m_nNumRuns);
  table_ = ResultsTable(problems, runs);
  ReadResultsFiles();
  ReadInBestKnownCosts();

  CostConversion conversion(problemType_, bestKnownCosts_);
  conversion.Convert(table_);
  // A missing best.txt has had its message already.
  if (bestKnownCosts_.fileRead && !conversion.ProblemsWithoutBest().empty()) {
    std::string names;
    for (const std::string& name : conversion.ProblemsWithoutBest())
      names.append(names.empty() ? "" : ", ").append(name);
    messages_.Show("No usable best known cost in best.txt for " + names +
                   "; their cost columns are written as NA");
  }
  statistics_ = SummaryStatistics(table_);
  description_ = ExperimentDescription::Of(experiments_);

  const ReportContent content{table_, statistics_, description_, problemsDirectory_};
  fullResultsWritten_ = WriteReport(fullResultsFile_, FullResultsReport(content));
  summaryWritten_ = WriteReport(summaryFile_, SummaryReport(content));
  return true;
}

void CSummariser::ReadInBestKnownCosts() {
  bestKnownCosts_ = BestKnownCostsReader(messages_).Read(problemType_, problemsDirectory_);
}

void CSummariser::ReadResultsFiles() {
  ResultsFileReader reader(table_, messages_);
  for (std::size_t p = 0; p < table_.ProblemCount(); ++p)
    for (std::size_t e = 0; e < experiments_.size(); ++e) {
      const std::string name = GetResultsFilename(problemType_, table_.Problems()[p], experiments_[e]);
      reader.Read(JoinPath(resultsDirectory_, name), p, e);
    }
}

// The report replaces the file at its path only once it is written whole, so
// a failed write (a full disk, say) leaves the previous report intact.
template <typename Report>
bool CSummariser::WriteReport(const std::string& path, const Report& report) {
  AtomicFileWriter file(path, AtomicFileWriter::StaleTemporaries::kRemove);
  if (!file.IsOpen()) {
    messages_.Show("Failed to open " + path);
    return false;
  }
  report.Write(file.Stream());
  if (!file.Commit()) {
    messages_.Show("Failed to write " + path);
    return false;
  }
  return true;
}

}  // namespace mirelock
