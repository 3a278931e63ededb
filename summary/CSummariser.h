#pragma once
#include <string>
#include <vector>

#include "experiments/CMirelockDoc.h"
#include "platform/UserMessages.h"
#include "summary/BestKnownCosts.h"
#include "summary/ExperimentDescription.h"
#include "summary/ResultsTable.h"
#include "summary/SummaryStatistics.h"

namespace mirelock {

// Summarises the results files of the document's experiment list into the
// full results and results summary CSV files. One summariser serves one
// Summarise command. It reads the results and problems directories by joined
// paths and never changes the process's working directory, so a batch may run
// meanwhile.
class CSummariser {
 public:
  // Copies what it needs from the document, including the batch progress (run
  // started flag and solved problems): construct it under the run controls'
  // lock when a batch may be running.
  CSummariser(const CMirelockDoc& doc, UserMessages& messages);

  // Finds the completed problems, reads their results files and the best known
  // costs, converts costs to gaps, and writes both reports. False when no
  // problem was completed (nothing is written then).
  bool Summarise();

  void ReadInBestKnownCosts();

  // After Summarise, for front ends that show a few lines of the summary.
  const ResultsTable& Table() const { return table_; }
  const SummaryStatistics& Statistics() const { return statistics_; }
  const ExperimentDescription& Description() const { return description_; }
  bool FullResultsWritten() const { return fullResultsWritten_; }
  bool SummaryWritten() const { return summaryWritten_; }

 private:
  template <typename Report>
  bool WriteReport(const std::string& path, const Report& report);

  ProblemType problemType_;
  std::string problemsDirectory_;
  std::string resultsDirectory_;
  std::string fullResultsFile_;
  std::string summaryFile_;
  std::vector<CExperiment> experiments_;
  bool runStarted_;
  std::vector<std::string> solvedProblems_;
  UserMessages& messages_;

  ResultsTable table_;
  BestKnownCosts bestKnownCosts_;
  SummaryStatistics statistics_;
  ExperimentDescription description_;
  bool fullResultsWritten_ = false;
  bool summaryWritten_ = false;
};

}  // namespace mirelock
