#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/UserMessages.h"
#include "sat/ClauseLiteralSet.h"
#include "sat/TextScanner.h"

namespace mirelock {

class SATProblem;

// Refuses a declared number of variables that the rest of the file
// (`remainingBytes`) could not use, beyond 65,536: a FatalError naming
// `sourceName`.
void CheckVariablesFitTheFile(long long declaredVariables, std::size_t remainingBytes,
                              const std::string& sourceName);

// One clause of a CNF file as read, before it becomes part of a problem.
struct CNFClause {
  enum class End { kZero, kEndOfInput, kNotInteger };

  bool complementary = false;
  std::vector<std::int32_t> variableIndices;  // 0-based, file order
  std::vector<bool> signs;                    // true for a positive literal

  // Reads literals up to the closing 0, dropping duplicates. A literal whose
  // variable is outside 1..variableCount is a FatalError naming `sourceName`.
  End Read(TextScanner& scanner, long long variableCount, ClauseLiteralSet& seen,
           const std::string& sourceName);
  void Clear() {
    complementary = false;
    variableIndices.clear();
    signs.clear();
  }
};

// The image of one DIMACS CNF file, used only while reading it.
class CNFInstance {
 public:
  // Reads the comments, the problem line and the declared number of clauses.
  // Warnings go to `messages`; a file that is not CNF, one without its
  // "p cnf" line (empty, comments only, NUL bytes), a bad count or a literal
  // out of range raise FatalError.
  void Read(std::istream& in, UserMessages& messages, const std::string& sourceName);
  // Builds the declared variables and every non-complementary clause.
  void AddTo(SATProblem& problem) const;

  std::size_t NumClausesRead() const { return clauseStart_.size() - 1; }
  std::int32_t DeclaredVariables() const { return declaredVariables_; }
  std::int32_t DeclaredClauses() const { return declaredClauses_; }

 private:
  // The clauses kept, one after another as signed file literals, and whether
  // each is complementary; one flat store instead of a pair of vectors per clause.
  std::vector<std::int32_t> literals_;
  std::vector<std::size_t> clauseStart_{0};
  std::vector<std::uint8_t> complementary_;
  std::string name_;  // never set by reading
  std::int32_t declaredVariables_ = 0;
  std::int32_t declaredClauses_ = 0;
};

}  // namespace mirelock
