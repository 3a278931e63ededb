#include "solver/ValueSeries.h"

#include <cmath>

#include "platform/NumberFormat.h"

namespace mirelock {

double ValueSeries::Mean() const {
  if (count_ == 0) return 0.0;
  return static_cast<double>(static_cast<long double>(sum_) / static_cast<long double>(count_));
}

double ValueSeries::StandardDeviation() const {
  if (count_ == 0) return 0.0;
  // n * sum(x^2) - sum(x)^2 >= 0 exactly; it fits 128 bits for any run that
  // fits in a day of flips. The division is done in long double.
  const unsigned __int128 n = count_;
  const unsigned __int128 spread = n * sumOfSquares_ - sum_ * sum_;
  const long double variance = static_cast<long double>(spread) /
                               (static_cast<long double>(count_) * static_cast<long double>(count_));
  return static_cast<double>(std::sqrt(variance));
}

void ValueSeries::WriteHeader(std::ostream& out) const {
  const std::string suffix = name_ + "_" + quantity_;
  out << '#' << name_ << '\t' << "Ave_" << suffix << '\t' << "StdDev_" << suffix << '\t' << "Min_" << suffix
      << '\t' << "Max_" << suffix << '\t';
}

void ValueSeries::WriteRow(std::ostream& out) const {
  out << std::to_string(count_) << '\t';
  if (count_ == 0) {
    out << "NA\tNA\tNA\tNA";
  } else {
    out << FormatNumber(Mean()) << '\t' << FormatNumber(StandardDeviation()) << '\t'
        << FormatNumber(static_cast<double>(minimum_)) << '\t' << FormatNumber(static_cast<double>(maximum_));
  }
  out << '\t';
}

}  // namespace mirelock
