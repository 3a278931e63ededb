#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/AnytimeSummary.h"
#include "analysis/Ecdf.h"
#include "analysis/ExactMean.h"
#include "analysis/FriedmanTest.h"
#include "analysis/WilcoxonTest.h"
#include "runner/TraceFile.h"
#include "solver/ProblemType.h"

namespace mirelock::analysis {

// One run of one problem with one experiment, as its results file row holds it.
struct RunRecord {
  std::size_t problem = 0;     // index into Report::problems
  std::size_t experiment = 0;  // index into Report::experiments
  std::uint32_t run = 0;       // from 0, in file order
  std::optional<double> cost;  // best cost as written (MAX-SAT: satisfied weight); none for SAT
  std::optional<double> gap;   // % gap (MAX-SAT: % relative error) to the best known; none without one
  std::optional<bool> success;  // SAT: a solution found; others: the best known cost reached
  std::optional<double> repairsToBest;
  std::optional<double> cpuSeconds;  // the whole run
  // SAT: the run's cutoff, its experiment's repair budget for the problem (max repairs, times the
  // problem's variables when the experiment says so); a failed run counts twice this (PAR-2).
  std::optional<double> repairBudget;
};

struct ExperimentSummary {
  std::string name;   // "Exp 0", as the summary command names it
  // The settings in which it differs from the others; when nothing differs (one experiment, or all
  // alike) its full description, so that a label never is empty.
  std::string label;
  std::uint32_t runsPerProblem = 0;
  std::vector<double> gaps;  // every run's gap, for the box plot
  std::optional<double> meanGap;
  std::optional<double> medianGap;
  std::optional<double> successRate;  // over the runs whose success is known
  std::optional<double> meanRank;     // over the ranked problems
  std::optional<double> meanCpuSeconds;
  EffortDistribution runLength;  // repairs to the best (= solving) solution of successful runs
  EffortDistribution runTime;    // CPU seconds of successful runs (the whole run)
};

// One problem's row of the per-problem table: a figure per experiment, lower is better.
struct ProblemScores {
  std::string problem;
  std::vector<std::optional<double>> shown;  // mean gap, mean cost, or mean effort, as `measure` says
  // What is ranked, lower is better: the mean of integer run values (cost, satisfied weight negated,
  // PAR-2 repairs), so that ties are exact. Empty means: the problem is not ranked.
  std::vector<ExactMean> key;
  // Converts a difference of keys into the scale the pairwise tests compare across problems
  // (percentage points of gap, percent of the best cost found, or repairs).
  double scale = 1;
  std::string measure;                       // what `shown` holds
  std::vector<bool> best;                    // lowest key (all tied ones)
  std::vector<double> ranks;                 // mid-ranks of the key; empty when not ranked
  std::vector<std::size_t> successes;        // per experiment, runs that succeeded...
  std::vector<std::size_t> runsWithSuccess;  // ...out of the runs whose success is known
  bool ranked = false;
  bool bestKnownZero = false;  // gaps undefined, success is reaching cost 0
};

struct PairwiseComparison {
  std::size_t first = 0;
  std::size_t second = 0;
  WilcoxonResult test;  // first's scores against second's
  std::optional<double> holmPValue;  // none when the pair differs on no problem
};

// A problem and experiment left out because its results file is not complete.
struct IncompletePair {
  std::string problem;
  std::size_t experiment = 0;
  std::size_t linesFound = 0;
  std::size_t linesNeeded = 0;
  bool beingWritten = false;  // a temporary file of a live writer is beside it
  bool notInCurrentBatch = false;  // complete, but from before the batch this document started
};

// Where a report comes from, so that a figure in a paper can be traced back to its batch.
struct ReportOrigin {
  std::string programVersion;  // "Mirelock 1.0"
  std::string date;            // when the report was made, UTC, ISO 8601
  std::string document;        // the document file
  std::string seedMode;        // "time", "fixed" or "none"
  std::optional<std::uint32_t> seed;  // the fixed seed
  std::string commandLine;     // the command that made the report
};

// Everything the report shows, from one batch's results files.
struct Report {
  ReportOrigin origin;
  ProblemType problemType = kProblemQAP;
  std::string problemsDirectory;
  std::string resultsDirectory;
  std::string fixedText;  // settings shared by all experiments
  std::vector<std::string> problems;
  // Per problem, the best known figure its gaps are taken to (QAP, TSP: the cost; MAX-SAT: the satisfied
  // weight); none without one.
  std::vector<std::optional<double>> bestKnown;
  std::vector<ExperimentSummary> experiments;
  std::vector<RunRecord> runs;
  std::string scoreDescription;  // how a problem's experiments are ranked, in a sentence
  std::vector<ProblemScores> problemTable;
  std::size_t rankedProblemCount = 0;
  std::optional<FriedmanResult> friedman;
  std::vector<PairwiseComparison> pairwise;
  std::optional<double> criticalDifference;  // Nemenyi, alpha 0.05, for any number of experiments
  std::string testsOmitted;                  // why there are no tests, when there are none
  std::vector<std::string> problemsWithoutBest;  // ranked on raw costs, no gaps
  std::vector<std::string> problemsWithZeroBest;  // best known cost 0: no gaps, but successes
  std::vector<std::string> problemsNotRanked;    // a run value missing
  std::vector<std::string> problemsWithoutCutoff;  // SAT: no CNF header to size a per-variable repair budget
  std::vector<IncompletePair> incompletePairs;
  bool batchInProgress = false;
  // Each run's new bests from its pair's trace file, parallel to `runs`; none when the file is
  // missing or unreadable (`traceErrors` says which, one message per file).
  std::vector<std::optional<TracedRun>> traces;
  std::vector<std::string> traceErrors;
  bool noTraces = false;  // not one pair has a trace file: a batch made before traces were recorded
  AnytimeSummary anytime;

  bool HasGaps() const { return problemType != kProblemSAT; }
};

// The significance level of the tests and the critical difference.
inline constexpr double kAlpha = 0.05;

}  // namespace mirelock::analysis
