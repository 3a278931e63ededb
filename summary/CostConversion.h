#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "summary/BestKnownCosts.h"
#include "summary/ResultsTable.h"

namespace mirelock {

// Turns every cost column of the table into a percentage gap to the problem's
// best known cost (QAP, TSP) or a relative error (MAX-SAT), and renames the
// column by replacing its first "cost" (any case). SAT tables stay as they are.
// A problem without a usable best known cost (absent, or 0 so that the gap is
// undefined) gets missing values instead of a division by zero.
class CostConversion {
 public:
  CostConversion(std::uint32_t problemType, const BestKnownCosts& best) : type_(problemType), best_(best) {}

  void Convert(ResultsTable& table);

  // Problems of the table that had a cost column but no usable best known cost.
  const std::vector<std::string>& ProblemsWithoutBest() const { return problemsWithoutBest_; }

 private:
  std::uint32_t type_;
  const BestKnownCosts& best_;
  std::vector<std::string> problemsWithoutBest_;
};

}  // namespace mirelock
