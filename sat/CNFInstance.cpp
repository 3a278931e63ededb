#include "sat/CNFInstance.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/FatalError.h"
#include "sat/SATProblem.h"

namespace mirelock {
namespace {

[[noreturn]] void Fail(const std::string& sourceName, const std::string& what) {
  throw FatalError(sourceName + ": " + what, OutputStream::Err, 1);
}

// Reads one count of the problem line; false when the line has no integer there.
bool ReadCount(TextScanner& scanner, const char* what, long long limit, const std::string& sourceName,
               std::int32_t& count) {
  long long value = 0;
  if (scanner.ReadInteger(value) != TextScanner::Result::kOk) return false;
  if (value < 0 || value > limit)
    Fail(sourceName, std::string("the problem line declares ") + std::to_string(value) + " " + what +
                         " (allowed 0.." + std::to_string(limit) + ")");
  count = static_cast<std::int32_t>(value);
  return true;
}

}  // namespace

void CheckVariablesFitTheFile(long long declaredVariables, std::size_t remainingBytes,
                              const std::string& sourceName) {
  // Every variable is built and searched whether a clause uses it or not, so
  // a few bytes declaring millions of them would take gigabytes. A variable
  // that occurs takes at least two bytes ("1 "); small files may declare
  // unused variables freely.
  constexpr long long kAlwaysAllowed = 1 << 16;
  const long long allowed = std::max<long long>(kAlwaysAllowed, static_cast<long long>(remainingBytes));
  if (declaredVariables > allowed)
    Fail(sourceName, std::to_string(declaredVariables) + " variables are declared, more than the " +
                         std::to_string(remainingBytes) + " bytes that follow could use (at most " +
                         std::to_string(allowed) + ")");
}

CNFClause::End CNFClause::Read(TextScanner& scanner, long long variableCount, ClauseLiteralSet& seen,
                               const std::string& sourceName) {
  seen.Clear();
  for (;;) {
    long long value = 0;
    const TextScanner::Result result = scanner.ReadInteger(value);
    if (result == TextScanner::Result::kEnd) return End::kEndOfInput;
    if (result == TextScanner::Result::kNotInteger) return End::kNotInteger;
    if (value != 0 && seen.Contains(-value)) complementary = true;
    if (seen.Contains(value)) continue;
    if (value == 0) return End::kZero;
    if (value > variableCount || value < -variableCount)
      Fail(sourceName, "literal " + std::to_string(value) + " is outside the declared variables 1.." +
                           std::to_string(variableCount));
    seen.Insert(value);
    variableIndices.push_back(static_cast<std::int32_t>((value < 0 ? -value : value) - 1));
    signs.push_back(value > 0);
  }
}

void CNFInstance::Read(std::istream& in, UserMessages& messages, const std::string& sourceName) {
  TextScanner scanner(in, sourceName);

  // Comment lines are recognised only at the start of the file.
  for (;;) {
    const int c = scanner.NextChar();
    if (c != 'c' && c != '#') {
      if (c != -1) scanner.PutBack();
      break;
    }
    scanner.SkipLine();
  }

  // Without its problem line a file declares no clauses, and reading it as
  // an empty formula would report every run as a solution: an empty or
  // comments-only file, or one that starts with its clauses, is refused.
  const int p = scanner.NextChar();
  if (p == -1) Fail(sourceName, "Couldn't read header for CNF: the file holds no \"p cnf\" problem line");
  if (p != 'p') {
    scanner.PutBack();
    Fail(sourceName, "Couldn't read header for CNF: \"" + scanner.PendingToken() +
                         "\" stands where the \"p cnf\" problem line should be");
  }
  if (scanner.NextWord() != "cnf") {
    scanner.SkipLine();
    throw FatalError("Error: File not in CNF format\n", OutputStream::Err, 1);
  }
  if (!ReadCount(scanner, "variables", kMaxVariables, sourceName, declaredVariables_) ||
      !ReadCount(scanner, "clauses", kMaxClauses, sourceName, declaredClauses_))
    Fail(sourceName,
         "Couldn't read header for CNF: the \"p cnf\" line needs the number of variables "
         "and the number of clauses");
  scanner.SkipLine();
  CheckVariablesFitTheFile(declaredVariables_, scanner.RemainingBytes(), sourceName);

  // Never reserve by the declared count: a hostile header may declare far more
  // clauses than the file holds. A clause takes at least two bytes ("0 ").
  const std::size_t room =
      std::min<std::size_t>(static_cast<std::size_t>(declaredClauses_), scanner.RemainingBytes() / 2);
  clauseStart_.reserve(room + 1);
  complementary_.reserve(room);
  literals_.reserve(scanner.RemainingBytes() / 3);
  ClauseLiteralSet seen;
  CNFClause clause;
  // A token that is not an integer stops reading: the clause loop would
  // otherwise never get past it.
  bool stuck = false;
  // White space after the last clause is not the end of input yet: one more
  // clause read starts there and meets the end before its 0.
  while (!stuck && NumClausesRead() < static_cast<std::size_t>(declaredClauses_) && !scanner.AtEnd()) {
    clause.Clear();
    const CNFClause::End end = clause.Read(scanner, declaredVariables_, seen, sourceName);
    if (end != CNFClause::End::kZero) {
      messages.Show("Warning: Unexpected end of clause, no 0 literal for end of clause");
      stuck = end == CNFClause::End::kNotInteger;
    }
    if (clause.variableIndices.empty()) continue;
    for (std::size_t i = 0; i < clause.variableIndices.size(); ++i)
      literals_.push_back(clause.signs[i] ? clause.variableIndices[i] + 1 : -(clause.variableIndices[i] + 1));
    clauseStart_.push_back(literals_.size());
    complementary_.push_back(clause.complementary ? 1 : 0);
  }

  if (NumClausesRead() != static_cast<std::size_t>(declaredClauses_)) {
    char text[128];
    std::snprintf(text, sizeof text,
                  "ERROR: Reading CNF file, wrong number of clauses (Expected %d, read %d)", declaredClauses_,
                  static_cast<int>(NumClausesRead()));
    messages.Show(text);
  }
}

void CNFInstance::AddTo(SATProblem& problem) const {
  const std::size_t firstVariable = problem.NumVariables();
  for (std::int32_t i = 0; i < declaredVariables_; ++i) problem.AddVariable();
  // Size every occurrence list once, so that loading never regrows them.
  std::vector<std::uint32_t> occurrences(static_cast<std::size_t>(declaredVariables_), 0);
  std::size_t kept = 0;
  for (std::size_t c = 0; c < NumClausesRead(); ++c) {
    if (complementary_[c]) continue;
    ++kept;
    for (std::size_t i = clauseStart_[c]; i < clauseStart_[c + 1]; ++i)
      ++occurrences[static_cast<std::size_t>(std::abs(literals_[i]) - 1)];
  }
  for (std::size_t v = 0; v < occurrences.size(); ++v)
    problem.GetVariable(firstVariable + v).ReserveOccurrences(occurrences[v]);
  problem.ReserveClauses(problem.NumClauses() + kept);
  for (std::size_t c = 0; c < NumClausesRead(); ++c) {
    if (complementary_[c]) continue;  // always satisfied
    Clause& clause = problem.AddClause();
    clause.ReserveLiterals(clauseStart_[c + 1] - clauseStart_[c]);
    for (std::size_t i = clauseStart_[c]; i < clauseStart_[c + 1]; ++i) {
      const std::int32_t literal = literals_[i];
      clause.AddLiteral(
          problem.LiteralOf(firstVariable + static_cast<std::size_t>(std::abs(literal) - 1), literal > 0));
    }
  }
}

}  // namespace mirelock
