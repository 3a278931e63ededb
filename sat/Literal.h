#pragma once
#include <cstdint>
#include <ostream>
#include <vector>

namespace mirelock {

class Clause;
class Variable;

// A literal of the clause model: a variable or the negation of one. The model
// is the reading and ownership view of a problem; the search works on flat
// arrays built from it once per problem.
class Literal {
 public:
  virtual std::ostream& Write(std::ostream& out) const = 0;
  virtual ~Literal() = default;
  virtual bool Value() const = 0;
  virtual bool IsNegated() const = 0;
  virtual Variable& GetVariable() = 0;
  virtual void Flip() = 0;
  // Records that `clause` contains this literal.
  virtual void AddClause(Clause* clause) = 0;
  // Erases every occurrence entry equal to `clause`.
  virtual void RemoveClause(const Clause* clause) = 0;
  virtual const std::vector<Clause*>& Occurrences() const = 0;
};

class Variable final : public Literal {
 public:
  // `index` is 0-based; the file numbers variables from 1.
  explicit Variable(std::int32_t index) : index_(index) {}

  std::ostream& Write(std::ostream& out) const override { return out << FileNumber() << ' '; }
  bool Value() const override { return value_; }
  bool IsNegated() const override { return false; }
  Variable& GetVariable() override { return *this; }
  void Flip() override { value_ = !value_; }
  void AddClause(Clause* clause) override { occurrences_.push_back(clause); }
  void RemoveClause(const Clause* clause) override;
  const std::vector<Clause*>& Occurrences() const override { return occurrences_; }

  std::int32_t Index() const { return index_; }
  std::int32_t FileNumber() const { return index_ + 1; }
  void SetValue(bool value) { value_ = value; }
  void ReserveOccurrences(std::size_t count) { occurrences_.reserve(count); }

 private:
  std::int32_t index_;
  bool value_ = false;
  std::vector<Clause*> occurrences_;
};

class NegatedLiteral final : public Literal {
 public:
  explicit NegatedLiteral(Variable& variable) : variable_(&variable) {}

  std::ostream& Write(std::ostream& out) const override {
    out << '-';
    return variable_->Write(out);
  }
  bool Value() const override { return !variable_->Value(); }
  bool IsNegated() const override { return true; }
  Variable& GetVariable() override { return *variable_; }
  void Flip() override { variable_->Flip(); }
  void AddClause(Clause* clause) override { variable_->AddClause(clause); }
  void RemoveClause(const Clause* clause) override { variable_->RemoveClause(clause); }
  const std::vector<Clause*>& Occurrences() const override { return variable_->Occurrences(); }

 private:
  Variable* variable_;
};

}  // namespace mirelock
