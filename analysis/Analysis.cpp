#include "analysis/Analysis.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "analysis/MultipleComparisons.h"
#include "analysis/Ranking.h"

namespace mirelock::analysis {

namespace {

// The runs of each problem and experiment: runsOf[p][e].
using RunIndex = std::vector<std::vector<std::vector<const RunRecord*>>>;

RunIndex IndexRuns(const Report& report) {
  RunIndex index(report.problems.size(), std::vector<std::vector<const RunRecord*>>(report.experiments.size()));
  for (const RunRecord& run : report.runs) index[run.problem][run.experiment].push_back(&run);
  return index;
}

// Each run's value by `field`; none when a run lacks it.
template <typename Field>
std::optional<std::vector<double>> ValuesOf(const std::vector<const RunRecord*>& runs, Field field) {
  std::vector<double> values;
  for (const RunRecord* run : runs) {
    const std::optional<double> value = field(*run);
    if (!value) return std::nullopt;
    values.push_back(*value);
  }
  return values;
}

double Mean(const std::vector<double>& values) {
  return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

void SummariseExperiments(Report& report) {
  for (std::size_t e = 0; e < report.experiments.size(); ++e) {
    ExperimentSummary& summary = report.experiments[e];
    std::vector<double> cpu, lengths, times;
    std::size_t successKnown = 0, successes = 0;
    for (const RunRecord& run : report.runs) {
      if (run.experiment != e) continue;
      if (run.gap) summary.gaps.push_back(*run.gap);
      if (run.cpuSeconds) cpu.push_back(*run.cpuSeconds);
      if (!run.success) continue;
      ++successKnown;
      if (!*run.success) continue;
      ++successes;
      if (run.repairsToBest) lengths.push_back(*run.repairsToBest);
      if (run.cpuSeconds) times.push_back(*run.cpuSeconds);
    }
    if (!summary.gaps.empty()) {
      summary.meanGap = Mean(summary.gaps);
      summary.medianGap = Median(summary.gaps);
    }
    if (!cpu.empty()) summary.meanCpuSeconds = Mean(cpu);
    if (successKnown > 0) summary.successRate = static_cast<double>(successes) / static_cast<double>(successKnown);
    summary.runLength = MakeEffortDistribution(lengths, successKnown);
    summary.runTime = MakeEffortDistribution(times, successKnown);
  }
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Fills key (or leaves it empty: not ranked), shown and scale of a SAT problem: the PAR-2 mean.
void ScoreSatProblem(const std::vector<std::vector<const RunRecord*>>& runs, ProblemScores& row) {
  row.measure = "PAR-2 mean repairs (a failed run counts twice its cutoff)";
  for (const auto& experimentRuns : runs) {
    const auto values = ValuesOf(experimentRuns, [](const RunRecord& run) -> std::optional<double> {
      if (!run.success) return std::nullopt;
      if (*run.success) return run.repairsToBest;
      if (!run.repairBudget) return std::nullopt;
      return 2 * *run.repairBudget;
    });
    row.key.emplace_back(values.value_or(std::vector<double>{}));
    row.shown.push_back(values && !values->empty() ? std::optional(row.key.back().Value()) : std::nullopt);
  }
}

// A problem of a type with costs, ranked on its mean cost; MAX-SAT costs are satisfied weights, higher better.
void ScoreCostProblem(const Report& report, std::size_t p, const std::vector<std::vector<const RunRecord*>>& runs,
                      ProblemScores& row) {
  const bool maxSat = report.problemType == kProblemMaxSAT;
  const double direction = maxSat ? -1 : 1;
  const double best = p < report.bestKnown.size() ? report.bestKnown[p].value_or(0) : 0;
  const bool hasGaps = !Contains(report.problemsWithoutBest, row.problem) && !row.bestKnownZero && best != 0;
  std::optional<double> bestFound;
  for (const auto& experimentRuns : runs) {
    const auto costs = ValuesOf(experimentRuns, [](const RunRecord& run) { return run.cost; });
    std::vector<double> keyed;
    if (costs)
      for (double cost : *costs) {
        keyed.push_back(direction * cost);
        bestFound = bestFound ? std::min(*bestFound, direction * cost) : direction * cost;
      }
    row.key.emplace_back(keyed);
    if (hasGaps) {
      const auto gaps = ValuesOf(experimentRuns, [](const RunRecord& run) { return run.gap; });
      row.shown.push_back(gaps && !gaps->empty() ? std::optional(Mean(*gaps)) : std::nullopt);
    } else {
      row.shown.push_back(costs && !costs->empty() ? std::optional(direction * row.key.back().Value()) : std::nullopt);
    }
  }
  if (hasGaps) {
    row.measure = maxSat ? "mean % relative error" : "mean % gap";
    row.scale = 100 / std::fabs(best);
  } else if (row.bestKnownZero) {
    row.measure = "mean cost (best known 0)";
    row.scale = 1;
  } else {
    row.measure = maxSat ? "mean satisfied weight (no best known)" : "mean cost (no best known)";
    row.scale = bestFound && *bestFound != 0 ? 100 / std::fabs(*bestFound) : 1;
  }
}

void CountSuccesses(const std::vector<std::vector<const RunRecord*>>& runs, ProblemScores& row) {
  for (const auto& experimentRuns : runs) {
    std::size_t known = 0, successes = 0;
    for (const RunRecord* run : experimentRuns)
      if (run->success) {
        ++known;
        if (*run->success) ++successes;
      }
    row.successes.push_back(successes);
    row.runsWithSuccess.push_back(known);
  }
}

void ScoreProblems(Report& report) {
  const RunIndex index = IndexRuns(report);
  for (std::size_t p = 0; p < report.problems.size(); ++p) {
    ProblemScores row;
    row.problem = report.problems[p];
    row.bestKnownZero = Contains(report.problemsWithZeroBest, row.problem);
    if (report.problemType == kProblemSAT)
      ScoreSatProblem(index[p], row);
    else
      ScoreCostProblem(report, p, index[p], row);
    CountSuccesses(index[p], row);
    row.ranked = !row.key.empty() && std::none_of(row.key.begin(), row.key.end(), [](const auto& k) { return k.Empty(); });
    row.best.assign(row.key.size(), false);
    if (row.ranked) {
      row.ranks = MidRanks(row.key);
      for (std::size_t e = 0; e < row.key.size(); ++e) row.best[e] = row.ranks[e] == *std::min_element(row.ranks.begin(), row.ranks.end());
      ++report.rankedProblemCount;
    } else {
      report.problemsNotRanked.push_back(row.problem);
    }
    report.problemTable.push_back(std::move(row));
  }
  report.scoreDescription =
      report.problemType == kProblemSAT
          ? "Each problem's experiments are ranked on their PAR-2 mean: the repairs to a solution, a failed run "
            "counting twice its cutoff (its experiment's repair budget for that problem)."
          : std::string("Each problem's experiments are ranked on their mean ") +
                (report.problemType == kProblemMaxSAT ? "relative error" : "gap") +
                " to the best known cost, compared exactly (equal means tie). A problem without a best known "
                "cost is ranked on its mean cost, which the pairwise tests take as a percentage above the best "
                "cost found in this batch; one whose best known cost is 0 on its mean cost as it is.";
}

// The ranked problems' rows.
std::vector<const ProblemScores*> RankedRows(const Report& report) {
  std::vector<const ProblemScores*> rows;
  for (const ProblemScores& row : report.problemTable)
    if (row.ranked) rows.push_back(&row);
  return rows;
}

void RankAndTest(Report& report) {
  const std::size_t k = report.experiments.size();
  const auto rows = RankedRows(report);
  if (!rows.empty()) {
    std::vector<double> rankSums(k, 0.0);
    for (const ProblemScores* row : rows)
      for (std::size_t e = 0; e < k; ++e) rankSums[e] += row->ranks[e];
    for (std::size_t e = 0; e < k; ++e) report.experiments[e].meanRank = rankSums[e] / static_cast<double>(rows.size());
  }
  if (k < 2) {
    report.testsOmitted = "The experiment list holds one experiment: there is nothing to compare it with, so there "
                          "are no rank tests.";
    return;
  }
  if (rows.size() < 2) {
    report.testsOmitted = std::to_string(rows.size()) + " problem" + (rows.size() == 1 ? " is" : "s are") +
                          " ranked; the rank tests need at least two.";
    return;
  }
  // The within-problem mid-ranks carry the exact ties into the Friedman test.
  std::vector<std::vector<double>> ranks;
  for (const ProblemScores* row : rows) ranks.push_back(row->ranks);
  report.friedman = Friedman(ranks);
  std::vector<std::optional<double>> pValues;
  for (std::size_t a = 0; a < k; ++a)
    for (std::size_t b = a + 1; b < k; ++b) {
      std::vector<double> differences;
      for (const ProblemScores* row : rows) differences.push_back(row->scale * Difference(row->key[a], row->key[b]));
      report.pairwise.push_back({a, b, WilcoxonSignedRankOfDifferences(differences), std::nullopt});
      pValues.push_back(report.pairwise.back().test.pValue);
    }
  const auto adjusted = HolmAdjusted(pValues);
  for (std::size_t i = 0; i < adjusted.size(); ++i) report.pairwise[i].holmPValue = adjusted[i];
  report.criticalDifference = NemenyiCriticalDifference(k, rows.size(), kAlpha);
}

}  // namespace

void Analyse(Report& report) {
  SummariseExperiments(report);
  ScoreProblems(report);
  RankAndTest(report);
}

}  // namespace mirelock::analysis
