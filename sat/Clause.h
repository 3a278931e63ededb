#pragma once
#include <cstdint>
#include <ostream>
#include <vector>

#include "sat/Literal.h"

namespace mirelock {

// A disjunction of literals. Ids are dense per problem (0 .. NumClauses - 1),
// so the search can index its per-clause tables by them.
class Clause {
 public:
  explicit Clause(std::uint32_t id) : id_(id) {}
  virtual ~Clause() = default;
  Clause(const Clause&) = delete;
  Clause& operator=(const Clause&) = delete;

  std::uint32_t Id() const { return id_; }
  const std::vector<Literal*>& Literals() const { return literals_; }

  // Appends the literal and records this clause in its variable's occurrences.
  void AddLiteral(Literal& literal) {
    literals_.push_back(&literal);
    literal.AddClause(this);
  }

  void ReserveLiterals(std::size_t count) { literals_.reserve(count); }

  bool IsSatisfied() const {
    for (const Literal* literal : literals_)
      if (literal->Value()) return true;
    return false;
  }

  virtual bool IsWeighted() const { return false; }
  virtual std::int32_t Weight() const { return 1; }

  // One clause line of a CNF file: the literals, then "0\n".
  virtual std::ostream& Write(std::ostream& out) const {
    for (const Literal* literal : literals_) literal->Write(out);
    return out << "0\n";
  }

 private:
  std::uint32_t id_;
  std::vector<Literal*> literals_;
};

class WeightedClause final : public Clause {
 public:
  WeightedClause(std::uint32_t id, std::int32_t weight) : Clause(id), weight_(weight) {}

  bool IsWeighted() const override { return true; }
  std::int32_t Weight() const override { return weight_; }
  std::ostream& Write(std::ostream& out) const override {
    out << weight_ << '\t';
    return Clause::Write(out);
  }

 private:
  std::int32_t weight_;
};

}  // namespace mirelock
