#pragma once
#include <cstdint>
#include <ostream>
#include <string>

namespace mirelock {

// A named series of 32-bit unsigned values (the costs of a run), summarised as
// count, mean, population standard deviation, minimum and maximum. It keeps
// exact integer running sums instead of the values: a run of millions of moves
// needs no memory per move, and the deviation is computed from exact sums.
class TourCostSeries {
 public:
  TourCostSeries(std::string name, std::string quantity)
      : name_(std::move(name)), quantity_(std::move(quantity)) {}

  void Clear();
  void Add(std::uint32_t value);

  std::uint64_t Count() const { return count_; }
  double Mean() const;
  double StdDev() const;
  double Min() const { return min_; }
  double Max() const { return max_; }

  // "#name", then Ave_, StdDev_, Min_ and Max_ each with name_quantity, every column tab-terminated.
  void WriteHeader(std::ostream& out) const;
  // Count, then the four summaries (or four "NA" for an empty series), every column tab-terminated.
  void WriteRow(std::ostream& out) const;

 private:
  std::string name_;
  std::string quantity_;
  std::uint64_t count_ = 0;
  unsigned __int128 sum_ = 0;
  unsigned __int128 sumOfSquares_ = 0;
  std::uint32_t min_ = 0;
  std::uint32_t max_ = 0;
};

}  // namespace mirelock
