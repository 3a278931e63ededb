#include "summary/SummaryStatistics.h"

#include <cmath>

namespace mirelock {

namespace {

// Statistics over the runs of one problem, experiment and column.
SummaryStatistics::Four OverRuns(const ResultsTable& table, std::size_t p, std::size_t e, std::size_t c) {
  const std::uint32_t runs = table.Runs(e);
  if (runs == 0) return {};
  std::vector<double> values;
  values.reserve(runs);
  for (std::uint32_t r = 0; r < runs; ++r) {
    const auto value = table.Get(p, e, r, c);
    if (!value) return {};
    values.push_back(*value);
  }
  double sum = 0;
  for (double v : values) sum += v;
  const double mean = sum / runs;
  double squares = 0;
  double min = values.front();
  double max = values.front();
  for (double v : values) {
    squares += (v - mean) * (v - mean);
    if (v < min) min = v;
    if (v > max) max = v;
  }
  return {mean, std::sqrt(squares / runs), min, max};
}

}  // namespace

SummaryStatistics::SummaryStatistics(const ResultsTable& table)
    : experiments_(table.ExperimentCount()), columns_(table.ColumnCount()) {
  const std::size_t problems = table.ProblemCount();
  perProblem_.resize(problems * experiments_ * columns_);
  for (std::size_t p = 0; p < problems; ++p)
    for (std::size_t e = 0; e < experiments_; ++e)
      for (std::size_t c = 0; c < columns_; ++c)
        perProblem_[(p * experiments_ + e) * columns_ + c] = OverRuns(table, p, e, c);

  overallMean_.resize(experiments_ * columns_);
  perExperiment_.resize(experiments_ * columns_);
  if (problems == 0) return;
  for (std::size_t e = 0; e < experiments_; ++e) {
    for (std::size_t c = 0; c < columns_; ++c) {
      // A per-problem statistic is missing exactly when one of its runs is
      // (or there are none), so the averages are present only when all are.
      bool complete = true;
      double total = 0;
      std::array<double, kStatisticCount> sums{};
      for (std::size_t p = 0; p < problems; ++p) {
        const Four& four = PerProblem(p, e, c);
        if (!four[kMean]) {
          complete = false;
          break;
        }
        for (std::uint32_t r = 0; r < table.Runs(e); ++r) total += *table.Get(p, e, r, c);
        for (std::size_t s = 0; s < kStatisticCount; ++s) sums[s] += *four[s];
      }
      if (!complete) continue;
      overallMean_[e * columns_ + c] = total / (static_cast<double>(problems) * table.Runs(e));
      for (std::size_t s = 0; s < kStatisticCount; ++s)
        perExperiment_[e * columns_ + c][s] = sums[s] / static_cast<double>(problems);
    }
  }
}

}  // namespace mirelock
