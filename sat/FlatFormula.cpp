#include "sat/FlatFormula.h"

#include <limits>
#include <string>

#include "platform/FatalError.h"
#include "sat/SATProblem.h"

namespace mirelock {

void FlatFormula::Build(const SATProblem& problem) {
  if (problem.NumVariables() > static_cast<std::size_t>(kMaxVariables) ||
      problem.NumClauses() > static_cast<std::size_t>(kMaxClauses))
    throw FatalError("Error: problem too large for the search", OutputStream::Err, 1);
  numVariables = static_cast<std::uint32_t>(problem.NumVariables());
  numClauses = static_cast<std::uint32_t>(problem.NumClauses());
  weighted = problem.IsWeighted();
  clauseStart.assign(1, 0);
  clauseStart.reserve(numClauses + 1);
  clauseLiterals.clear();
  weight.assign(numClauses, 1);
  totalWeight = 0;
  std::vector<std::uint32_t> occurrenceCount(numVariables + 1, 0);
  // The clause that last mentioned each variable, and with which sign, to find
  // repeated and complementary literals without a search.
  std::vector<std::uint32_t> lastClause(numVariables, std::numeric_limits<std::uint32_t>::max());
  std::vector<std::uint8_t> lastNegated(numVariables, 0);
  for (std::uint32_t c = 0; c < numClauses; ++c) {
    const Clause& clause = problem.GetClause(c);
    weight[c] = clause.Weight();
    totalWeight += static_cast<std::uint64_t>(clause.Weight());
    for (Literal* literal : clause.Literals()) {
      const auto v = static_cast<std::uint32_t>(literal->GetVariable().Index());
      const std::uint8_t negated = literal->IsNegated() ? 1 : 0;
      if (lastClause[v] == c) {
        if (lastNegated[v] == negated) continue;
        throw FatalError("Error: clause " + std::to_string(c + 1) + " holds variable " +
                             std::to_string(v + 1) + " both ways",
                         OutputStream::Err, 1);
      }
      lastClause[v] = c;
      lastNegated[v] = negated;
      clauseLiterals.push_back(v * 2 + negated);
      ++occurrenceCount[v];
    }
    // Scores and the augmented cost add at most one clause term plus the
    // largest 32-bit penalty (< 2^33) per clause and per literal; below 2^30
    // of those the 64-bit sums cannot wrap.
    if (clauseLiterals.size() + c + 1 > kMaxClausesAndLiterals)
      throw FatalError("Error: problem too large for the search", OutputStream::Err, 1);
    clauseStart.push_back(static_cast<std::uint32_t>(clauseLiterals.size()));
  }
  occurrenceStart.assign(numVariables + 1, 0);
  for (std::uint32_t v = 0; v < numVariables; ++v)
    occurrenceStart[v + 1] = occurrenceStart[v] + occurrenceCount[v];
  occurrences.assign(clauseLiterals.size(), 0);
  std::vector<std::uint32_t> fill(occurrenceStart.begin(), occurrenceStart.end() - 1);
  for (std::uint32_t c = 0; c < numClauses; ++c)
    for (std::uint32_t i = clauseStart[c]; i < clauseStart[c + 1]; ++i) {
      const std::uint32_t literal = clauseLiterals[i];
      occurrences[fill[literal >> 1]++] = c * 2 + (literal & 1);
    }
}

}  // namespace mirelock
