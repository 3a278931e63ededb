#pragma once
#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "summary/ResultsTable.h"

namespace mirelock {

// The four statistics, always taken and written in this order.
enum Statistic : std::size_t { kMean = 0, kStddev = 1, kMin = 2, kMax = 3 };
inline constexpr std::size_t kStatisticCount = 4;
inline constexpr std::array<const char*, kStatisticCount> kStatisticNames = {"Mean", "Stddev", "Min", "Max"};

// Per problem, experiment and column: mean, population standard deviation,
// minimum and maximum over the runs. Per experiment and column: the mean over
// all problems and runs, and the mean over the problems of each per-problem
// statistic. A statistic is missing when a value it covers is missing, and
// when it covers no value at all (an experiment of 0 runs).
class SummaryStatistics {
 public:
  using Value = std::optional<double>;
  using Four = std::array<Value, kStatisticCount>;

  SummaryStatistics() = default;
  explicit SummaryStatistics(const ResultsTable& table);

  const Four& PerProblem(std::size_t problem, std::size_t experiment, std::size_t column) const {
    return perProblem_[(problem * experiments_ + experiment) * columns_ + column];
  }
  // Over all problems and runs of the experiment.
  Value OverallMean(std::size_t experiment, std::size_t column) const {
    return overallMean_[experiment * columns_ + column];
  }
  // Mean over the problems of a per-problem statistic.
  const Four& PerExperiment(std::size_t experiment, std::size_t column) const {
    return perExperiment_[experiment * columns_ + column];
  }

 private:
  std::size_t experiments_ = 0;
  std::size_t columns_ = 0;
  std::vector<Four> perProblem_;
  std::vector<Value> overallMean_;
  std::vector<Four> perExperiment_;
};

}  // namespace mirelock
