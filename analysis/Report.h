#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/Ecdf.h"
#include "analysis/FriedmanTest.h"
#include "analysis/WilcoxonTest.h"
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
};

struct ExperimentSummary {
  std::string name;   // "Exp 0", as the summary command names it
  std::string label;  // the settings in which it differs from the others (may be empty)
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
  std::vector<std::optional<double>> score;  // what is ranked; missing: the problem is not ranked
  std::string measure;                       // what `shown` holds
  std::vector<bool> best;                    // lowest score (all tied ones)
  bool ranked = false;
};

struct PairwiseComparison {
  std::size_t first = 0;
  std::size_t second = 0;
  WilcoxonResult test;  // first's scores against second's
  double holmPValue = 1;
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

// Everything the report shows, from one batch's results files.
struct Report {
  ProblemType problemType = kProblemQAP;
  std::string problemsDirectory;
  std::string resultsDirectory;
  std::string fixedText;  // settings shared by all experiments
  std::vector<std::string> problems;
  std::vector<ExperimentSummary> experiments;
  std::vector<RunRecord> runs;
  std::string scoreDescription;  // how a problem's experiments are ranked, in a sentence
  std::vector<ProblemScores> problemTable;
  std::size_t rankedProblemCount = 0;
  std::optional<FriedmanResult> friedman;
  std::vector<PairwiseComparison> pairwise;
  std::optional<double> criticalDifference;  // Nemenyi, alpha 0.05
  std::string testsOmitted;                  // why there are no tests, when there are none
  std::vector<std::string> problemsWithoutBest;  // ranked on raw costs, no gaps
  std::vector<std::string> problemsNotRanked;    // a run value missing
  std::vector<IncompletePair> incompletePairs;
  bool batchInProgress = false;

  bool HasGaps() const { return problemType != kProblemSAT; }
};

// The significance level of the tests and the critical difference.
inline constexpr double kAlpha = 0.05;

}  // namespace mirelock::analysis
