#pragma once
#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/UserMessages.h"
#include "sat/Clause.h"
#include "sat/Literal.h"
#include "solver/ProblemInstance.h"

namespace mirelock {

// Largest variable count a problem file may declare. Every declared variable
// is built before its clauses are read, so the count is capped instead of
// letting a one-line file ask for gigabytes.
inline constexpr long long kMaxVariables = 1LL << 24;
// Largest clause count a problem file may declare (the ids are 32-bit).
inline constexpr long long kMaxClauses = (1LL << 31) - 1;

// The SAT or weighted MAX-SAT problem the GLSSAT search works on. It owns
// every variable, literal and clause it makes; destroying it frees them all.
// Clause ids are dense per problem, so two problems alive at once never
// disturb each other.
class SATProblem : public ProblemInstance {
 public:
  // Reader warnings go to `messages`; null means standard error.
  explicit SATProblem(UserMessages* messages = nullptr);
  SATProblem(const SATProblem&) = delete;
  SATProblem& operator=(const SATProblem&) = delete;

  // Reads a CNF file, or the weighted clause format when weighted is set.
  // Appends to what the problem already holds. Raises FatalError for a file
  // that cannot be used.
  std::istream& Read(std::istream& in) override;
  // Opens `path`, names it in error messages and reads it.
  void ReadFile(const std::string& path);

  void SetWeighted(bool weighted) { weighted_ = weighted; }
  bool IsWeighted() const { return weighted_; }
  void SetMessages(UserMessages* messages) override { messages_ = messages != nullptr ? messages : &stderrMessages_; }
  UserMessages& Messages() { return *messages_; }
  // The file name used in error messages.
  void SetSourceName(const std::string& name) override { sourceName_ = name; }
  const std::string& SourceName() const { return sourceName_; }

  std::size_t NumVariables() const { return variables_.size(); }
  std::size_t NumClauses() const { return clauses_.size(); }
  Variable& GetVariable(std::size_t index) { return *variables_[index]; }
  const Variable& GetVariable(std::size_t index) const { return *variables_[index]; }
  Clause& GetClause(std::size_t index) { return *clauses_[index]; }
  const Clause& GetClause(std::size_t index) const { return *clauses_[index]; }
  std::uint64_t TotalWeight() const;
  std::uint64_t SatisfiedWeight() const;

  // Building blocks for the readers. The literal of a variable is the
  // variable itself or its one negation, made on first use.
  Variable& AddVariable();
  Literal& LiteralOf(std::size_t variableIndex, bool positive);
  // A new clause with the next id, already appended.
  Clause& AddClause();
  // Also switches the problem to weighted.
  WeightedClause& AddWeightedClause(std::int32_t weight);
  void ReserveClauses(std::size_t count) { clauses_.reserve(count); }

  // The whole problem as a CNF file body (clause lines only).
  std::ostream& WriteClauses(std::ostream& out) const;

 private:
  bool weighted_ = false;
  StderrMessages stderrMessages_;
  UserMessages* messages_;
  std::string sourceName_ = "problem file";
  std::vector<std::unique_ptr<Variable>> variables_;
  std::vector<std::unique_ptr<NegatedLiteral>> negations_;
  std::vector<std::unique_ptr<Clause>> clauses_;
};

}  // namespace mirelock
