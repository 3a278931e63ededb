#include "analysis/BatchReader.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "analysis/CnfHeader.h"
#include "runner/ProblemDiscovery.h"
#include "runner/ResultsFileCheck.h"
#include "runner/ResultsFiles.h"
#include "runner/ResultsNaming.h"
#include "platform/FilePaths.h"
#include "platform/TemporaryFiles.h"
#include "summary/BatchResults.h"
#include "summary/ExperimentDescription.h"

namespace fs = std::filesystem;

namespace mirelock::analysis {

namespace {

// The solvers' header names of the columns a run record takes, by problem type
// (SAT, MAX-SAT, QAP, TSP). SAT has no cost column.
constexpr const char* kCostColumn[kProblemTypeCount] = {nullptr, "Best_Found_Solution_Max_Cost", "Best_cost",
                                                        "Min_Best_Found_Solution_Cost"};
constexpr const char* kRepairsColumn[kProblemTypeCount] = {"Repairs_To_BestSol", "Repairs_To_BestSol", "#Repairs",
                                                           "Repairs_To_BestSol"};
constexpr const char* kCpuColumn[kProblemTypeCount] = {"CPU_Seconds", "CPU_Seconds", "CPU_secs", "CPU_Seconds"};
constexpr const char* kSolvedColumn = "Sol_Found";

// A gap this close to 0 (or below: better than the best known) counts as reaching the best known cost.
constexpr double kReachedGap = 1e-9;

std::optional<std::size_t> ColumnByOriginalName(const ResultsTable& table, const char* name) {
  if (!name) return std::nullopt;
  for (std::size_t c = 0; c < table.ColumnCount(); ++c)
    if (table.OriginalColumnName(c) == name) return c;
  return std::nullopt;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A SAT run's cutoff: its experiment's repair budget for the problem, as the solver sets it.
std::optional<double> RepairBudget(const CExperiment& experiment, const std::optional<std::uint64_t>& variables) {
  if (!experiment.m_bMaxRepairsTimesN) return static_cast<double>(experiment.m_nMaxRepairs);
  if (!variables) return std::nullopt;
  return static_cast<double>(experiment.m_nMaxRepairs) * static_cast<double>(*variables);
}

ResultsTable::Cell CellOf(const ResultsTable& table, std::optional<std::size_t> column, std::size_t p, std::size_t e,
                          std::uint32_t r) {
  return column ? table.Get(p, e, r, *column) : std::nullopt;
}

void ListIncompletePairs(const CMirelockDoc& doc, Report& report) {
  const std::set<std::string> completed(report.problems.begin(), report.problems.end());
  const std::set<std::string> solved(doc.m_solvedProblems.begin(), doc.m_solvedProblems.end());
  // One reading of the results directory for all pairs: asking per pair reads it once per incomplete pair.
  const std::set<std::string> beingWritten = FinalNamesBeingWritten(doc.m_strResultsDir);
  const std::vector<std::string> problems = DiscoverProblems(doc.m_strProblemsDir, doc.m_nProblemType);
  const ResultsNaming naming(problems);
  for (const std::string& problem : problems) {
    if (completed.contains(problem)) continue;
    for (std::size_t e = 0; e < doc.m_experiments.size(); ++e) {
      const CExperiment& experiment = doc.m_experiments[e];
      const std::string name = naming.FileName(doc.m_nProblemType, problem, experiment);
      const std::string path = JoinPath(doc.m_strResultsDir, name);
      IncompletePair pair{problem, e, CountResultsFileLines(path), std::size_t{experiment.m_nNumRuns} + 1};
      pair.beingWritten = beingWritten.contains(name);
      if (CheckResultsFile(path, problem, experiment.m_nNumRuns).complete) {
        // Complete, yet left out: the batch in progress has not reached this problem.
        if (!doc.m_bRunStarted || solved.contains(problem)) continue;
        pair.notInCurrentBatch = true;
      }
      report.batchInProgress = report.batchInProgress || pair.beingWritten;
      report.incompletePairs.push_back(pair);
    }
  }
  if (doc.m_bRunStarted && doc.m_nProblemsSolved < doc.m_nTotalProblems) report.batchInProgress = true;
}

void FillExperiments(const CMirelockDoc& doc, Report& report) {
  const ExperimentDescription description = ExperimentDescription::Of(doc.m_experiments);
  report.fixedText = description.fixedText;
  for (std::size_t e = 0; e < doc.m_experiments.size(); ++e) {
    ExperimentSummary summary;
    summary.name = "Exp " + std::to_string(e);
    if (e < description.labels.size()) summary.label = description.labels[e];
    // Nothing tells the experiments apart: the full description names each.
    if (summary.label.empty()) summary.label = Trimmed(description.fixedText);
    summary.runsPerProblem = doc.m_experiments[e].m_nNumRuns;
    report.experiments.push_back(std::move(summary));
  }
}

void FillRuns(const BatchResults& results, const CMirelockDoc& doc, Report& report) {
  const ProblemType type = doc.m_nProblemType;
  const ResultsTable& converted = results.converted;
  const ResultsTable& raw = *results.raw;
  const auto cost = ColumnByOriginalName(raw, kCostColumn[type]);
  const auto repairs = ColumnByOriginalName(raw, kRepairsColumn[type]);
  const auto cpu = ColumnByOriginalName(raw, kCpuColumn[type]);
  const auto solved = ColumnByOriginalName(raw, kSolvedColumn);
  for (std::size_t p = 0; p < raw.ProblemCount(); ++p) {
    std::optional<std::uint64_t> variables;
    if (type == kProblemSAT) {
      variables = CnfDeclaredVariables(JoinPath(doc.m_strProblemsDir, report.problems[p]));
      const bool perVariable = std::any_of(doc.m_experiments.begin(), doc.m_experiments.end(),
                                           [](const CExperiment& experiment) { return experiment.m_bMaxRepairsTimesN; });
      if (!variables && perVariable) report.problemsWithoutCutoff.push_back(report.problems[p]);
    }
    const bool zeroBest = std::find(report.problemsWithZeroBest.begin(), report.problemsWithZeroBest.end(),
                                    report.problems[p]) != report.problemsWithZeroBest.end();
    for (std::size_t e = 0; e < raw.ExperimentCount(); ++e)
      for (std::uint32_t r = 0; r < raw.Runs(e); ++r) {
        RunRecord record;
        record.problem = p;
        record.experiment = e;
        record.run = r;
        record.repairsToBest = CellOf(raw, repairs, p, e, r);
        record.cpuSeconds = CellOf(raw, cpu, p, e, r);
        if (type == kProblemSAT) {
          if (const auto found = CellOf(raw, solved, p, e, r)) record.success = *found == 1;
          if (e < doc.m_experiments.size()) record.repairBudget = RepairBudget(doc.m_experiments[e], variables);
        } else {
          record.cost = CellOf(raw, cost, p, e, r);
          // The conversion keeps column indexes; a missing gap is a missing cost or best known cost.
          record.gap = CellOf(converted, cost, p, e, r);
          if (record.gap) record.success = *record.gap <= kReachedGap;
          // A best known cost of 0 has no gaps, but reaching it is still a success.
          if (zeroBest && record.cost) record.success = *record.cost <= 0;
        }
        report.runs.push_back(record);
      }
  }
}

// QAP and TSP problems whose best known cost is 0: out of the problems without a usable best cost.
void SeparateZeroBest(const BatchResults& results, ProblemType type, Report& report) {
  if (type != kProblemQAP && type != kProblemTSP) return;
  std::vector<std::string> withoutBest;
  for (const std::string& problem : report.problemsWithoutBest) {
    const auto best = results.bestKnownCosts.First(problem);
    (best && *best == 0 ? report.problemsWithZeroBest : withoutBest).push_back(problem);
  }
  report.problemsWithoutBest = std::move(withoutBest);
}

void FillBestKnown(const BatchResults& results, ProblemType type, Report& report) {
  for (const std::string& problem : report.problems)
    report.bestKnown.push_back(type == kProblemMaxSAT ? results.bestKnownCosts.Second(problem)
                                                      : results.bestKnownCosts.First(problem));
}

}  // namespace

std::optional<Report> ReadBatch(const CMirelockDoc& doc, UserMessages& messages) {
  if (doc.m_nProblemType >= kProblemTypeCount) {
    messages.Show("Problem type " + std::to_string(doc.m_nProblemType) + " has no results files to report on");
    return std::nullopt;
  }
  auto results = ReadBatchResults({doc.m_nProblemType, doc.m_strProblemsDir, doc.m_strResultsDir,
                                   doc.m_experiments, doc.m_bRunStarted, doc.m_solvedProblems},
                                  messages, true);
  if (!results) return std::nullopt;
  Report report;
  report.problemType = doc.m_nProblemType;
  report.origin.programVersion = "Mirelock " MIRELOCK_VERSION;
  const std::uint32_t seedMode = doc.m_nSeedMode;
  report.origin.seedMode = seedMode == kSeedFromTime ? "time" : seedMode == kSeedFixed ? "fixed" : "none";
  if (seedMode == kSeedFixed) report.origin.seed = doc.m_nFixedSeed;
  report.problemsDirectory = doc.m_strProblemsDir;
  report.resultsDirectory = doc.m_strResultsDir;
  report.problems = results->converted.Problems();
  report.problemsWithoutBest = results->problemsWithoutBest;
  SeparateZeroBest(*results, doc.m_nProblemType, report);
  FillBestKnown(*results, doc.m_nProblemType, report);
  FillExperiments(doc, report);
  FillRuns(*results, doc, report);
  ListIncompletePairs(doc, report);
  return report;
}

}  // namespace mirelock::analysis
