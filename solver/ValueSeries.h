#pragma once
#include <cstdint>
#include <ostream>
#include <string>

namespace mirelock {

// A named series of integer costs (after every move, at local minima, at new
// bests) summarised by count, mean, population deviation, minimum and maximum.
// Only exact integer sums are kept, so a run of 10^8 moves costs no memory, and
// the deviation comes from n * sum(x^2) - sum(x)^2 computed exactly in 128 bits.
class ValueSeries {
 public:
  ValueSeries(std::string name, std::string quantity)
      : name_(std::move(name)), quantity_(std::move(quantity)) {}

  void Add(std::uint64_t value) {
    ++count_;
    sum_ += value;
    sumOfSquares_ += static_cast<unsigned __int128>(value) * value;
    if (count_ == 1 || value < minimum_) minimum_ = value;
    if (value > maximum_) maximum_ = value;
  }
  void Clear() { *this = ValueSeries(std::move(name_), std::move(quantity_)); }

  std::uint64_t Count() const { return count_; }
  double Mean() const;
  double StandardDeviation() const;
  std::uint64_t Minimum() const { return minimum_; }
  std::uint64_t Maximum() const { return maximum_; }

  // "#name\tAve_name_quantity\tStdDev_...\tMin_...\tMax_...\t"
  void WriteHeader(std::ostream& out) const;
  // "count\tmean\tdeviation\tmin\tmax\t", or "0\tNA\tNA\tNA\tNA\t" when empty.
  void WriteRow(std::ostream& out) const;

 private:
  std::string name_;
  std::string quantity_;
  std::uint64_t count_ = 0;
  unsigned __int128 sum_ = 0;
  unsigned __int128 sumOfSquares_ = 0;
  std::uint64_t minimum_ = 0;
  std::uint64_t maximum_ = 0;
};

}  // namespace mirelock
