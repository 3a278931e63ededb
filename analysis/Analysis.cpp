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

template <typename Field>
std::optional<double> MeanOf(const std::vector<const RunRecord*>& runs, Field field) {
  if (runs.empty()) return std::nullopt;
  double sum = 0;
  for (const RunRecord* run : runs) {
    const std::optional<double> value = field(*run);
    if (!value) return std::nullopt;
    sum += *value;
  }
  return sum / static_cast<double>(runs.size());
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
      summary.meanGap = std::accumulate(summary.gaps.begin(), summary.gaps.end(), 0.0) /
                        static_cast<double>(summary.gaps.size());
      summary.medianGap = Median(summary.gaps);
    }
    if (!cpu.empty()) summary.meanCpuSeconds = std::accumulate(cpu.begin(), cpu.end(), 0.0) / static_cast<double>(cpu.size());
    if (successKnown > 0) summary.successRate = static_cast<double>(successes) / static_cast<double>(successKnown);
    summary.runLength = MakeEffortDistribution(lengths, successKnown);
    summary.runTime = MakeEffortDistribution(times, successKnown);
  }
}

// Scores a SAT problem: the mean PAR-2 effort per experiment.
void ScoreSatProblem(const std::vector<std::vector<const RunRecord*>>& runs, ProblemScores& row) {
  double cap = 0;
  for (const auto& experimentRuns : runs)
    for (const RunRecord* run : experimentRuns)
      if (run->repairsToBest) cap = std::max(cap, *run->repairsToBest);
  row.measure = "mean repairs to solution (PAR-2)";
  for (const auto& experimentRuns : runs)
    row.score.push_back(MeanOf(experimentRuns, [&](const RunRecord& run) -> std::optional<double> {
      if (!run.success || !run.repairsToBest) return std::nullopt;
      return *run.success ? *run.repairsToBest : 2 * cap;
    }));
  row.shown = row.score;
}

// Scores a problem of a type with costs: mean gap, or mean cost relative to the best found.
void ScoreCostProblem(ProblemType type, const std::vector<std::vector<const RunRecord*>>& runs, bool hasBest,
                      ProblemScores& row) {
  const bool maxSat = type == kProblemMaxSAT;
  if (hasBest) {
    row.measure = maxSat ? "mean % relative error" : "mean % gap";
    for (const auto& experimentRuns : runs) row.score.push_back(MeanOf(experimentRuns, [](const RunRecord& run) { return run.gap; }));
    row.shown = row.score;
    return;
  }
  row.measure = maxSat ? "mean satisfied weight (no best known)" : "mean cost (no best known)";
  std::optional<double> bestFound;
  for (const auto& experimentRuns : runs)
    for (const RunRecord* run : experimentRuns)
      if (run->cost) bestFound = !bestFound ? *run->cost : (maxSat ? std::max(*bestFound, *run->cost) : std::min(*bestFound, *run->cost));
  for (const auto& experimentRuns : runs) {
    const auto mean = MeanOf(experimentRuns, [](const RunRecord& run) { return run.cost; });
    row.shown.push_back(mean);
    if (!mean || !bestFound) {
      row.score.push_back(std::nullopt);
      continue;
    }
    // Percent above the best found; a higher satisfied weight is better.
    const double above = maxSat ? *bestFound - *mean : *mean - *bestFound;
    row.score.push_back(*bestFound != 0 ? above / std::fabs(*bestFound) * 100 : above);
  }
}

void ScoreProblems(Report& report) {
  const RunIndex index = IndexRuns(report);
  for (std::size_t p = 0; p < report.problems.size(); ++p) {
    ProblemScores row;
    row.problem = report.problems[p];
    if (report.problemType == kProblemSAT) {
      ScoreSatProblem(index[p], row);
    } else {
      const bool hasBest = std::find(report.problemsWithoutBest.begin(), report.problemsWithoutBest.end(),
                                     row.problem) == report.problemsWithoutBest.end();
      ScoreCostProblem(report.problemType, index[p], hasBest, row);
    }
    row.ranked = !row.score.empty() && std::all_of(row.score.begin(), row.score.end(), [](const auto& s) { return s.has_value(); });
    row.best.assign(row.score.size(), false);
    if (row.ranked) {
      const double lowest = **std::min_element(row.score.begin(), row.score.end());
      for (std::size_t e = 0; e < row.score.size(); ++e) row.best[e] = *row.score[e] == lowest;
      ++report.rankedProblemCount;
    } else {
      report.problemsNotRanked.push_back(row.problem);
    }
    report.problemTable.push_back(std::move(row));
  }
  report.scoreDescription =
      report.problemType == kProblemSAT
          ? "Each problem's experiments are ranked on their mean repairs to a solution, a failed run counting twice "
            "the largest repairs-to-best of any run of that problem (PAR-2)."
          : std::string("Each problem's experiments are ranked on their mean ") +
                (report.problemType == kProblemMaxSAT ? "relative error" : "gap") +
                " to the best known cost; a problem without one is ranked on its mean cost, which the pairwise tests "
                "take as a percentage above the best cost found in this batch.";
}

// scores[b][t] over the ranked problems.
std::vector<std::vector<double>> RankedScores(const Report& report) {
  std::vector<std::vector<double>> scores;
  for (const ProblemScores& row : report.problemTable) {
    if (!row.ranked) continue;
    std::vector<double> block;
    for (const auto& s : row.score) block.push_back(*s);
    scores.push_back(std::move(block));
  }
  return scores;
}

void RankAndTest(Report& report) {
  const std::size_t k = report.experiments.size();
  const auto scores = RankedScores(report);
  if (!scores.empty()) {
    std::vector<double> rankSums(k, 0.0);
    for (const auto& block : scores) {
      const auto ranks = MidRanks(block);
      for (std::size_t e = 0; e < k; ++e) rankSums[e] += ranks[e];
    }
    for (std::size_t e = 0; e < k; ++e) report.experiments[e].meanRank = rankSums[e] / static_cast<double>(scores.size());
  }
  if (k < 2) {
    report.testsOmitted = "The experiment list holds one experiment: there is nothing to compare it with, so there "
                          "are no rank tests.";
    return;
  }
  if (scores.size() < 2) {
    report.testsOmitted = std::to_string(scores.size()) + " problem" + (scores.size() == 1 ? " is" : "s are") +
                          " ranked; the rank tests need at least two.";
    return;
  }
  report.friedman = Friedman(scores);
  std::vector<double> pValues;
  for (std::size_t a = 0; a < k; ++a)
    for (std::size_t b = a + 1; b < k; ++b) {
      std::vector<double> x, y;
      for (const auto& block : scores) {
        x.push_back(block[a]);
        y.push_back(block[b]);
      }
      report.pairwise.push_back({a, b, WilcoxonSignedRank(x, y)});
      pValues.push_back(report.pairwise.back().test.pValue);
    }
  const auto adjusted = HolmAdjusted(pValues);
  for (std::size_t i = 0; i < adjusted.size(); ++i) report.pairwise[i].holmPValue = adjusted[i];
  report.criticalDifference = NemenyiCriticalDifference(k, scores.size());
}

}  // namespace

void Analyse(Report& report) {
  SummariseExperiments(report);
  ScoreProblems(report);
  RankAndTest(report);
}

}  // namespace mirelock::analysis
