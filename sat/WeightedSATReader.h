#pragma once
#include <istream>

namespace mirelock {

class SATProblem;

// Reads the weighted clause format: the variable count, the clause count, then
// one record per clause: literal count, weight, literals (no closing 0).
// Duplicate literals and 0 tokens are skipped and complementary clauses
// dropped; every token counts toward the record's literal count. A bad count,
// a negative weight, a token that is not an integer, a literal outside the
// variables or a file that ends before its last record raise FatalError
// naming the problem's source.
class WeightedSATReader {
 public:
  std::istream& Read(std::istream& in, SATProblem& problem);
};

}  // namespace mirelock
