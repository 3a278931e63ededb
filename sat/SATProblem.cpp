#include "sat/SATProblem.h"


#include "platform/FatalError.h"
#include "platform/InputFile.h"
#include "sat/CNFInstance.h"
#include "sat/WeightedSATReader.h"

namespace mirelock {

SATProblem::SATProblem(UserMessages* messages)
    : messages_(messages != nullptr ? messages : &stderrMessages_) {}

std::istream& SATProblem::Read(std::istream& in) {
  if (weighted_) {
    WeightedSATReader reader;
    reader.Read(in, *this);
  } else {
    CNFInstance instance;
    instance.Read(in, *messages_, sourceName_);
    instance.AddTo(*this);
  }
  return in;
}

void SATProblem::ReadFile(const std::string& path) {
  InputFileStream in(path);
  if (!in) throw FatalError("Cannot open problem file " + in.Error(), OutputStream::Err, 1);
  sourceName_ = path;
  Read(in);
}

std::uint64_t SATProblem::TotalWeight() const {
  std::uint64_t total = 0;
  for (const auto& clause : clauses_) total += static_cast<std::uint64_t>(clause->Weight());
  return total;
}

std::uint64_t SATProblem::SatisfiedWeight() const {
  std::uint64_t total = 0;
  for (const auto& clause : clauses_)
    if (clause->IsSatisfied()) total += static_cast<std::uint64_t>(clause->Weight());
  return total;
}

Variable& SATProblem::AddVariable() {
  variables_.push_back(std::make_unique<Variable>(static_cast<std::int32_t>(variables_.size())));
  return *variables_.back();
}

Literal& SATProblem::LiteralOf(std::size_t variableIndex, bool positive) {
  Variable& variable = *variables_[variableIndex];
  if (positive) return variable;
  if (negations_.size() < variables_.size()) negations_.resize(variables_.size());  // once per load
  auto& negation = negations_[variableIndex];
  if (!negation) negation = std::make_unique<NegatedLiteral>(variable);
  return *negation;
}

Clause& SATProblem::AddClause() {
  clauses_.push_back(std::make_unique<Clause>(static_cast<std::uint32_t>(clauses_.size())));
  return *clauses_.back();
}

WeightedClause& SATProblem::AddWeightedClause(std::int32_t weight) {
  auto clause = std::make_unique<WeightedClause>(static_cast<std::uint32_t>(clauses_.size()), weight);
  WeightedClause& added = *clause;
  clauses_.push_back(std::move(clause));
  weighted_ = true;
  return added;
}

std::ostream& SATProblem::WriteClauses(std::ostream& out) const {
  for (const auto& clause : clauses_) clause->Write(out);
  return out;
}

}  // namespace mirelock
