#include "summary/CSummariser.h"

#include "platform/AtomicFileWriter.h"
#include "summary/BatchResults.h"
#include "summary/FullResultsReport.h"
#include "summary/SummaryReport.h"

namespace mirelock {

namespace {
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
  auto results = ReadBatchResults(
      {problemType_, problemsDirectory_, resultsDirectory_, experiments_, runStarted_, solvedProblems_},
      messages_);
  if (!results) return false;
  table_ = std::move(results->converted);
  bestKnownCosts_ = std::move(results->bestKnownCosts);
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

// The report replaces the file at its path only once it is written whole, so
// a failed write (a full disk, say) leaves the previous report intact.
template <typename Report>
bool CSummariser::WriteReport(const std::string& path, const Report& report) {
  AtomicFileWriter file(path, AtomicFileWriter::StaleTemporaries::kRemove);
  if (!file.IsOpen()) {
    messages_.Show("Failed to open " + path + ReasonSuffix(file.ErrorText()));
    return false;
  }
  report.Write(file.Stream());
  if (!file.Commit()) {
    messages_.Show("Failed to write " + path + ReasonSuffix(file.ErrorText()));
    return false;
  }
  return true;
}

}  // namespace mirelock
