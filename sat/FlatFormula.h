#pragma once
#include <cstdint>
#include <vector>

namespace mirelock {

class SATProblem;

// The clauses of a problem as contiguous arrays, built once per problem for
// the flip loop: no pointer chasing through literal objects while searching.
// A literal is packed as variable * 2 + 1 when negated; an occurrence as
// clause * 2 + 1 when the variable occurs negated there.
struct FlatFormula {
  std::uint32_t numVariables = 0;
  std::uint32_t numClauses = 0;
  bool weighted = false;
  std::vector<std::uint32_t> clauseStart;  // numClauses + 1 offsets into clauseLiterals
  std::vector<std::uint32_t> clauseLiterals;
  std::vector<std::uint32_t> occurrenceStart;  // numVariables + 1 offsets into occurrences
  std::vector<std::uint32_t> occurrences;
  std::vector<std::int64_t> weight;  // per clause
  std::uint64_t totalWeight = 0;

  static constexpr std::size_t kMaxClausesAndLiterals = std::size_t{1} << 30;

  // Repeated literals of a clause are kept once. A clause holding a variable
  // both ways (the readers drop those) raises FatalError.
  void Build(const SATProblem& problem);

  std::uint32_t ClauseSize(std::uint32_t c) const { return clauseStart[c + 1] - clauseStart[c]; }
};

}  // namespace mirelock
