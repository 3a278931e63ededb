#include "tsp/TourCostSeries.h"

#include <cmath>

namespace mirelock {

void TourCostSeries::Clear() {
  count_ = 0;
  sum_ = 0;
  sumOfSquares_ = 0;
  min_ = 0;
  max_ = 0;
}

void TourCostSeries::Add(std::uint32_t value) {
  if (count_ == 0 || value < min_) min_ = value;
  if (count_ == 0 || value > max_) max_ = value;
  ++count_;
  sum_ += value;
  sumOfSquares_ += static_cast<unsigned __int128>(value) * value;
}

double TourCostSeries::Mean() const { return static_cast<double>(sum_) / static_cast<double>(count_); }

// Population deviation: count * sum(x^2) - sum(x)^2 is computed exactly (values
// below 2^32 and fewer than 2^32 of them keep it within 128 bits), so it never
// goes negative by cancellation.
double TourCostSeries::StdDev() const {
  const unsigned __int128 spread = static_cast<unsigned __int128>(count_) * sumOfSquares_ - sum_ * sum_;
  return std::sqrt(static_cast<double>(spread)) / static_cast<double>(count_);
}

void TourCostSeries::WriteHeader(std::ostream& out) const {
  const std::string suffix = name_ + "_" + quantity_;
  out << "#" << name_ << "\t"
      << "Ave_" << suffix << "\tStdDev_" << suffix << "\tMin_" << suffix << "\tMax_" << suffix << "\t";
}

void TourCostSeries::WriteRow(std::ostream& out) const {
  out << count_ << "\t";
  if (count_ == 0) {
    out << "NA\tNA\tNA\tNA";
  } else {
    out << Mean() << "\t" << StdDev() << "\t" << Min() << "\t" << Max();
  }
  out << "\t";
}

}  // namespace mirelock
