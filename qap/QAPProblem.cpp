#include "qap/QAPProblem.h"

#include <algorithm>
#include <cstdlib>
#include <istream>
#include <limits>
#include <sstream>

#include "platform/FatalError.h"

namespace mirelock {

namespace {

// Large enough for every published instance; n * n entries then fit easily in
// 32-bit indices and the search's n-by-n tables stay within memory.
constexpr long long kLargestSize = 16384;

constexpr double kLargestWideBound = 4611686018427387904.0;  // 2^62

}  // namespace

void QAPProblem::Fail(const std::string& what) const {
  const std::string name = sourceName_.empty() ? "QAP problem file" : sourceName_;
  throw FatalError(name + ": " + what + "\n", OutputStream::Err, 1);
}

std::istream& QAPProblem::Read(std::istream& in) {
  long long size = 0;
  if (!(in >> size)) Fail("the file does not start with the problem size");
  if (size < 1) Fail("problem size " + std::to_string(size) + " is not positive");
  if (size > kLargestSize) Fail("problem size " + std::to_string(size) + " is too large");
  const std::size_t n = static_cast<std::size_t>(size);

  // Entries are appended as they are read, never reserved from the stated
  // size, so a file that claims a huge n but holds few numbers costs only its
  // own length before it is reported as short.
  auto readMatrix = [&](std::vector<std::int32_t>& m, const char* matrixName) {
    m.clear();
    for (std::size_t k = 0; k < n * n; ++k) {
      long long value = 0;
      if (!(in >> value)) {
        const bool atEnd = in.eof();
        const std::string where = "matrix " + std::string(matrixName) + " entry " + std::to_string(k + 1) +
                                  " of " + std::to_string(n * n);
        if (atEnd) Fail("the file ends before " + where);
        Fail(where + " is not an integer");
      }
      if (value < 0)
        Fail("matrix " + std::string(matrixName) + " entry " + std::to_string(k + 1) + " (" +
             std::to_string(value) + ") is negative; flows and distances must be at least 0");
      if (value > std::numeric_limits<std::int32_t>::max())
        Fail("matrix " + std::string(matrixName) + " entry " + std::to_string(k + 1) + " (" +
             std::to_string(value) + ") does not fit in 32 bits");
      m.push_back(static_cast<std::int32_t>(value));
    }
  };
  std::vector<std::int32_t> a, b;
  readMatrix(a, "A");
  readMatrix(b, "B");
  Assign(static_cast<unsigned>(n), std::move(a), std::move(b));
  return in;
}

void QAPProblem::Assign(unsigned n, std::vector<std::int32_t> a, std::vector<std::int32_t> b) {
  for (const auto* m : {&a, &b})
    for (std::size_t k = 0; k < m->size(); ++k)
      if ((*m)[k] < 0)
        Fail("matrix " + std::string(m == &a ? "A" : "B") + " entry " + std::to_string(k + 1) + " (" +
             std::to_string((*m)[k]) + ") is negative; flows and distances must be at least 0");
  n_ = n;
  a_ = std::move(a);
  b_ = std::move(b);
  Classify();
  ComputeBounds();
  ++generation_;
}

void QAPProblem::Classify() {
  const unsigned n = n_;
  type_ = kSymmetric;
  blockSize_ = -1;
  for (unsigned i = 0; i < n; ++i) {
    if (A(i, i) != 0) type_ = kGeneral;
    for (unsigned j = i + 1; j < n; ++j) {
      if (A(i, j) != A(j, i)) type_ = kGeneral;
      if (B(i, j) != B(j, i)) type_ = kGeneral;
    }
  }
  // Block test: A holds 0 and 1 only, and its ones fill a leading square.
  unsigned k = 0;
  bool block = true;
  for (unsigned i = 0; i < n && block; ++i) {
    for (unsigned j = 0; j < n; ++j) {
      const std::int32_t v = A(i, j);
      if (v == 1) {
        k = std::max({k, i, j});
      } else if (v != 0 || (i <= k && j <= k)) {
        block = false;
        break;
      }
    }
  }
  if (block) {
    type_ = kBlock;
    blockSize_ = static_cast<int>(k) + 1;
  }

  // The block formulas hold only when the ones form exactly the leading square
  // (the test above lets a stray one below earlier zeros pass) and B is
  // symmetric with a zero diagonal; otherwise the general formulas are used.
  searchType_ = type_;
  if (type_ == kBlock) {
    const unsigned size = static_cast<unsigned>(blockSize_);
    bool exact = true;
    for (unsigned i = 0; i < n && exact; ++i) {
      if (B(i, i) != 0) exact = false;
      for (unsigned j = 0; j < n && exact; ++j) {
        if (A(i, j) != ((i < size && j < size) ? 1 : 0) || B(i, j) != B(j, i)) exact = false;
      }
    }
    if (!exact) searchType_ = kGeneral;
  }
}

void QAPProblem::ComputeBounds() {
  const std::size_t count = a_.size();
  std::vector<std::int32_t> sortedA(a_), sortedB(b_);
  std::sort(sortedA.begin(), sortedA.end());
  std::sort(sortedB.begin(), sortedB.end());
  costBound_ = 0;
  for (std::size_t k = 0; k < count; ++k)
    costBound_ += static_cast<double>(static_cast<std::int64_t>(sortedA[k]) * sortedB[k]);

  sumA_ = sumB_ = 0;
  std::vector<std::int64_t> absA(count), absB(count);
  for (std::size_t k = 0; k < count; ++k) {
    sumA_ += a_[k];
    sumB_ += b_[k];
    absA[k] = std::llabs(a_[k]);
    absB[k] = std::llabs(b_[k]);
  }
  std::sort(absA.begin(), absA.end());
  std::sort(absB.begin(), absB.end());
  // |cost| <= absBound for every permutation, so |delta| <= 2 * absBound. The
  // delta formulas also form sums of up to 2(n + 2) products of differences of
  // two entries each (and the constant-time updates products of differences of
  // four), all bounded by 16 (n + 2) maxA maxB.
  double absBound = 0;
  for (std::size_t k = 0; k < count; ++k) absBound += static_cast<double>(absA[k] * absB[k]);
  const double maxA = count ? static_cast<double>(absA.back()) : 0;
  const double maxB = count ? static_cast<double>(absB.back()) : 0;
  const double termBound = 16.0 * (static_cast<double>(n_) + 2) * maxA * maxB;
  const double bound = std::max(2 * absBound, termBound);
  wide_ = bound > static_cast<double>(std::numeric_limits<std::int32_t>::max());
  // The 64-bit search keeps costs and deltas below 2^62, leaving the other
  // half of the range to lambda times the penalties in the augmented values.
  if (bound > kLargestWideBound) {
    std::ostringstream what;
    what << "costs and swap deltas can reach " << bound << ", beyond 2^62, the range of 64-bit search arithmetic";
    Fail(what.str());
  }
}

std::int64_t QAPProblem::Cost(const std::vector<int>& perm) const {
  std::int64_t total = 0;
  for (unsigned i = 0; i < n_; ++i) {
    const std::int32_t* a = ARow(i);
    const std::int32_t* b = BRow(static_cast<unsigned>(perm[i]));
    std::int64_t row = 0;
    for (unsigned j = 0; j < n_; ++j) row += static_cast<std::int64_t>(a[j]) * b[perm[j]];
    total += row;
  }
  return total;
}

std::int64_t QAPProblem::SwapDelta(const std::vector<int>& perm, unsigned r, unsigned s) const {
  using W = std::int64_t;
  const int pr = perm[r], ps = perm[s];
  W d = 0;
  switch (searchType_) {
    case kSymmetric:
      for (unsigned k = 0; k < n_; ++k) {
        if (k == r || k == s) continue;
        const int pk = perm[k];
        d += (W{A(k, r)} - A(k, s)) * (W{B(pk, ps)} - B(pk, pr));
      }
      return 2 * d;
    case kGeneral:
      d = (W{A(r, r)} - A(s, s)) * (W{B(ps, ps)} - B(pr, pr)) +
          (W{A(r, s)} - A(s, r)) * (W{B(ps, pr)} - B(pr, ps));
      for (unsigned k = 0; k < n_; ++k) {
        if (k == r || k == s) continue;
        const int pk = perm[k];
        d += (W{A(k, r)} - A(k, s)) * (W{B(pk, ps)} - B(pk, pr)) +
             (W{A(r, k)} - A(s, k)) * (W{B(ps, pk)} - B(pr, pk));
      }
      return d;
    default:
      for (unsigned k = 0; k < static_cast<unsigned>(blockSize_); ++k) {
        if (k == r || k == s) continue;
        const int pk = perm[k];
        d += W{B(pk, ps)} - B(pk, pr);
      }
      return 2 * d;
  }
}

}  // namespace mirelock
