#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "solver/ProblemInstance.h"

namespace mirelock {

// A quadratic assignment problem read from a QAPLIB ".dat" file: minimise
// sum over i, j of A[i][j] * B[perm[i]][perm[j]], where perm[i] is the item at
// position i. Matrices are flat row-major arrays.
class QAPProblem : public ProblemInstance {
 public:
  // Structural types; the search specialises its swap deltas on them.
  static constexpr int kSymmetric = 0;
  static constexpr int kGeneral = 1;
  static constexpr int kBlock = 2;

  // Raises FatalError naming the source for a malformed file.
  std::istream& Read(std::istream& in) override;

  // Names the file in error messages; "QAP problem file" when not set.
  void SetSourceName(const std::string& name) override { sourceName_ = name; }

  unsigned Size() const { return n_; }
  int Type() const { return type_; }
  int BlockSize() const { return blockSize_; }
  // The type whose delta formulas the search uses. The block formulas assume a
  // symmetric B with zero diagonal; other block instances are searched with the
  // general formulas, which hold for every instance.
  int SearchType() const { return searchType_; }

  std::int32_t A(unsigned i, unsigned j) const { return a_[static_cast<std::size_t>(i) * n_ + j]; }
  std::int32_t B(unsigned i, unsigned j) const { return b_[static_cast<std::size_t>(i) * n_ + j]; }
  const std::int32_t* ARow(unsigned i) const { return a_.data() + static_cast<std::size_t>(i) * n_; }
  const std::int32_t* BRow(unsigned i) const { return b_.data() + static_cast<std::size_t>(i) * n_; }

  // Cost of a permutation, always in 64-bit arithmetic.
  std::int64_t Cost(const std::vector<int>& perm) const;
  // Change of Cost when the items at positions r and s are exchanged, computed
  // from scratch with the formula of the search type, in 64-bit arithmetic.
  std::int64_t SwapDelta(const std::vector<int>& perm, unsigned r, unsigned s) const;

  // Upper bound of every cost: sorted entries of A times sorted entries of B, rank by rank.
  double CostBound() const { return costBound_; }
  double SumA() const { return sumA_; }
  double SumB() const { return sumB_; }
  // True when costs, swap deltas or the intermediate sums of their formulas may
  // leave the signed 32-bit range; the search then keeps them in 64 bits.
  bool NeedsWideArithmetic() const { return wide_; }
  // For tests and comparisons: run the 64-bit search on any instance.
  void ForceWideArithmetic() {
    wide_ = true;
    ++generation_;
  }

  // Builds an instance from matrices (tests and generated benchmarks).
  void Assign(unsigned n, std::vector<std::int32_t> a, std::vector<std::int32_t> b);

  // Changes whenever the instance does (Read, Assign, ForceWideArithmetic), so that a search built on
  // an earlier instance, which keeps copies of its matrices, is known to be stale.
  std::uint64_t Generation() const { return generation_; }

 private:
  void Classify();
  void ComputeBounds();
  [[noreturn]] void Fail(const std::string& what) const;

  std::string sourceName_;
  int blockSize_ = -1;
  int type_ = kSymmetric;
  int searchType_ = kSymmetric;
  unsigned n_ = static_cast<unsigned>(-1);
  std::vector<std::int32_t> a_, b_;
  double costBound_ = 0, sumA_ = 0, sumB_ = 0;
  bool wide_ = false;
  std::uint64_t generation_ = 0;
};

}  // namespace mirelock
