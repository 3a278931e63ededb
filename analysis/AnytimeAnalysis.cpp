#include "analysis/AnytimeAnalysis.h"

#include <algorithm>
#include <cmath>

#include "analysis/AnytimeEcdf.h"
#include "analysis/FixedTargets.h"
#include "analysis/TraceReader.h"

namespace mirelock::analysis {

namespace {

std::optional<std::size_t> HardestTracedProblem(const Report& report) {
  if (report.problemType == kProblemSAT) return std::nullopt;
  std::vector<double> sum(report.problems.size(), 0);
  std::vector<std::size_t> count(report.problems.size(), 0);
  for (std::size_t i = 0; i < report.runs.size() && i < report.traces.size(); ++i) {
    const auto& trace = report.traces[i];
    if (!trace || trace->cost.empty()) continue;
    const auto gap = TraceGap(report, i, trace->cost.back());
    if (!gap) continue;
    sum[report.runs[i].problem] += *gap;
    ++count[report.runs[i].problem];
  }
  std::optional<std::size_t> hardest;
  for (std::size_t p = 0; p < sum.size(); ++p)
    if (count[p] > 0 && (!hardest || sum[p] / count[p] > sum[*hardest] / count[*hardest])) hardest = p;
  return hardest;
}

}  // namespace

std::optional<std::size_t> FindBudgetProblem(const Report& report, const std::string& name) {
  for (std::size_t p = 0; p < report.problems.size(); ++p)
    if (report.problems[p] == name) return p;
  return std::nullopt;
}

void AnalyseAnytime(Report& report, const std::vector<double>& targets) {
  AnytimeSummary& anytime = report.anytime;
  anytime = AnytimeSummary();
  const FixedTargetEfforts efforts = CollectFixedTargetEfforts(report, targets);
  anytime.targets = efforts.targets;
  anytime.budgetProblem = HardestTracedProblem(report);
  const std::size_t experiments = report.experiments.size();
  for (const auto& problem : efforts.efforts)
    for (const auto& experiment : problem)
      for (const auto& runs : experiment) anytime.available = anytime.available || !runs.empty();
  if (!anytime.available) return;

  for (const auto& problem : efforts.efforts) {
    auto& repairs = anytime.ertRepairs.emplace_back(experiments);
    auto& seconds = anytime.ertSeconds.emplace_back(experiments);
    for (std::size_t e = 0; e < experiments; ++e)
      for (const auto& runs : problem[e]) {
        repairs[e].push_back(EstimateErt(runs, EffortUnit::kRepairs));
        seconds[e].push_back(EstimateErt(runs, EffortUnit::kCpuSeconds));
      }
  }

  // The profiles at +1 %, or the target nearest to it.
  for (std::size_t t = 0; t < anytime.targets.size(); ++t)
    if (std::abs(anytime.targets[t] - 1) < std::abs(anytime.targets[anytime.profileTarget] - 1)) anytime.profileTarget = t;
  std::vector<std::vector<double>> ert;
  for (std::size_t p = 0; p < efforts.efforts.size(); ++p) {
    bool traced = false;
    std::vector<double> row;
    for (std::size_t e = 0; e < experiments; ++e) {
      traced = traced || !efforts.efforts[p][e][anytime.profileTarget].empty();
      row.push_back(anytime.ertRepairs[p][e][anytime.profileTarget].ert);
    }
    if (traced) ert.push_back(row);
  }
  anytime.profiles = MakePerformanceProfiles(ert);

  for (std::size_t i = 0; i < report.traces.size(); ++i)
    if (report.traces[i]) anytime.ecdfBudget = std::max(anytime.ecdfBudget, static_cast<double>(report.traces[i]->totalRepairs));
  for (std::size_t e = 0; e < experiments; ++e)
    anytime.ecdfArea.push_back(EcdfArea(MakeAggregatedEcdf(efforts, e), anytime.ecdfBudget));
}

}  // namespace mirelock::analysis
