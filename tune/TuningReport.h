#pragma once
#include <iosfwd>
#include <string>
#include <vector>

#include "experiments/CExperiment.h"
#include "tune/IraceSession.h"

namespace mirelock::tune {

// What a tuning was and what it found, for the terminal and the page.
struct TuningRecord {
  ProblemType type = kProblemQAP;
  std::string trainingDirectory;
  std::size_t trainingProblems = 0;
  std::uint64_t budget = 0;
  std::uint32_t seed = 0;
  unsigned jobs = 1;
  bool slurm = false;
  std::string costMeasure;     // what the costs are
  double cpuSeconds = 0;       // the target runs and irace, as the children's CPU time
  double wallSeconds = 0;
  std::string logDirectory;    // irace's files and log
  TuningSummary summary;
  std::vector<std::string> eliteNames;  // "Exp 3" in the document, or why not added
  std::string experiment0Settings;
  std::string reportPage;      // the test report, relative to the page; empty without --test
};

// The summary in plain text: elites with their mean rank and mean cost, the
// settings tried and runs spent, and the race's eliminations per iteration.
void WriteTuningText(std::ostream& out, const TuningRecord& record);
// The same as a page that opens from disk.
void WriteTuningPage(std::ostream& out, const TuningRecord& record);

// The cost irace minimised for a type, in words.
std::string CostMeasure(ProblemType type);

}  // namespace mirelock::tune
