#pragma once
// The summary of a cost series as a results row writes it, computed plainly
// in long double, for the TSP reference searches.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/NumberFormat.h"

namespace mirelock::test {

inline std::string Series(const std::vector<std::int64_t>& values) {
  if (values.empty()) return "0\tNA\tNA\tNA\tNA\t";
  long double sum = 0, squares = 0;
  for (std::int64_t v : values) sum += v, squares += static_cast<long double>(v) * v;
  const long double mean = sum / values.size();
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  return std::to_string(values.size()) + "\t" + FormatNumber(static_cast<double>(mean)) + "\t" +
         FormatNumber(static_cast<double>(std::sqrt(squares / values.size() - mean * mean))) + "\t" +
         FormatNumber(static_cast<double>(*low)) + "\t" + FormatNumber(static_cast<double>(*high)) + "\t";
}

}  // namespace mirelock::test
