#pragma once
#include <cstddef>
#include <vector>

namespace mirelock::analysis {

// A step function of the fraction of runs that succeeded within a given
// effort: the run-length (or run-time) distribution of one experiment. Runs
// that never succeeded count in the denominator, so the curve levels off at
// the success rate rather than at 1.
struct EffortDistribution {
  struct Step {
    double effort;    // the curve rises at this effort...
    double fraction;  // ...to this fraction of all runs
  };
  std::vector<Step> steps;  // efforts strictly increasing
  std::size_t successes = 0;
  std::size_t runs = 0;

  // Fraction of runs that succeeded with effort <= x.
  double At(double x) const;
};

// `efforts`: the effort of each successful run; `runs`: all runs, successful or not.
EffortDistribution MakeEffortDistribution(std::vector<double> efforts, std::size_t runs);

// The q-quantile (0 <= q <= 1) by linear interpolation between order
// statistics (Hyndman and Fan's type 7, R's default); 0 for no values.
double Quantile(std::vector<double> values, double q);

// The median of the values (mean of the middle two for an even count); 0 for none.
double Median(std::vector<double> values);

}  // namespace mirelock::analysis
