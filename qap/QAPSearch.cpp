#include "qap/QAPSearch.h"

#include <algorithm>
#include <cstring>
#include <sstream>

#include "platform/Random.h"
#include "qap/MoveKernels.h"
#include "qap/RoundHalfUp.h"

namespace mirelock {

AspirationMemory& ThreadAspirationMemory() {
  thread_local AspirationMemory memory;
  return memory;
}

template <typename Cost>
QAPSearch<Cost>::QAPSearch(const QAPProblem& problem, QAPParameters& parameters, QAPStats& stats,
                           std::function<bool()> stopRequested)
    : problem_(problem), parameters_(parameters), stats_(stats), stopRequested_(std::move(stopRequested)) {
  n_ = problem.Size();
  type_ = problem.SearchType();
  blockSize_ = type_ == QAPProblem::kBlock ? problem.BlockSize() : 0;
  const std::size_t cells = static_cast<std::size_t>(n_) * n_;
  aT_.resize(cells);
  bT_.resize(cells);
  smallEntries_ = true;
  for (unsigned i = 0; i < n_; ++i) {
    for (unsigned j = 0; j < n_; ++j) {
      aT_[static_cast<std::size_t>(j) * n_ + i] = problem.A(i, j);
      bT_[static_cast<std::size_t>(j) * n_ + i] = problem.B(i, j);
      if (problem.A(i, j) >= (1 << 30) || problem.B(i, j) >= (1 << 30)) smallEntries_ = false;
    }
  }
  bp_.resize(cells);
  if (type_ == QAPProblem::kGeneral) bpT_.resize(cells);
  rowTypes_.resize(n_);
  perm_.resize(n_);
  pos_.resize(n_);
  penalty_.assign(cells, 0);
  featureCost_.assign(n_, 0);
  featureCostKnown_.assign(n_, 0);
  recency_.assign(cells, 0);
  delta_.assign(cells, 0);
  penaltyDelta_.assign(cells, 0);
  x_.resize(n_);
  y_.resize(n_);
  x2_.resize(n_);
  y2_.resize(n_);
  kept_.reserve(cells / 2 + 1);
  aspirationKept_.reserve(cells / 2 + 1);
  keys_.Build(n_);
}

template <typename Cost>
bool QAPSearch<Cost>::IsCandidate(int r, int s) const {
  if (r >= s || r < 0 || s >= static_cast<int>(n_)) return false;
  if (type_ == QAPProblem::kBlock) return r < blockSize_ && s >= blockSize_;
  return true;
}

template <typename Cost>
void QAPSearch<Cost>::InitialSolution(unsigned runNumber) {
  if (parameters_.seed != 4294967295u) SeedRandom(parameters_.seed * runNumber);
  for (unsigned i = 0; i < n_; ++i) perm_[i] = static_cast<int>(i);
  for (unsigned i = 1; i < n_; ++i) {
    const unsigned j = static_cast<unsigned>(Random()) % (i + 1);
    std::swap(perm_[i], perm_[j]);
  }
  for (unsigned i = 0; i < n_; ++i) pos_[perm_[i]] = static_cast<int>(i);
}

template <typename Cost>
void QAPSearch<Cost>::InitRun() {
  visited_.Clear();
  std::fill(penalty_.begin(), penalty_.end(), 0);
  std::fill(featureCostKnown_.begin(), featureCostKnown_.end(), 0);
  // Keeps costScale * cost within 1/1000 of the 32-bit range when costs are
  // 32-bit; instances with 64-bit costs come out at 1.
  const Wide scale = RoundHalfUp(2147483647.0 / ((problem_.CostBound() + 1) * 1000));
  costScale_ = std::clamp<Wide>(scale, 1, kUnset32);
  lambda_ = lambda0_ = penaltyUnit_ = kUnset32;
  cost_ = static_cast<Cost>(problem_.Cost(perm_));
  augCost_ = costScale_ * Wide{cost_};
  penaltyMax_ = 0;
  fingerprint_ = keys_.Of(perm_);
  BuildPermutedDistances();
  FillDeltasAndLists();
}

template <typename Cost>
void QAPSearch<Cost>::BuildPermutedDistances() {
  const std::size_t n = n_;
  for (std::size_t i = 0; i < n; ++i) {
    const std::int32_t* row = problem_.BRow(static_cast<unsigned>(perm_[i]));
    const std::int32_t* column = bT_.data() + static_cast<std::size_t>(perm_[i]) * n;
    for (std::size_t k = 0; k < n; ++k) {
      bp_[i * n + k] = row[perm_[k]];
      if (!bpT_.empty()) bpT_[i * n + k] = column[perm_[k]];
    }
  }
}

// The items at r and s changed places: rows r and s, then columns r and s, exchange.
template <typename Cost>
void QAPSearch<Cost>::SwapPermutedDistances(int r, int s) {
  const std::size_t n = n_;
  for (std::vector<std::int32_t>* m : {&bp_, &bpT_}) {
    if (m->empty()) continue;
    std::int32_t* data = m->data();
    std::swap_ranges(data + r * n, data + r * n + n, data + s * n);
    for (std::size_t i = 0; i < n; ++i) std::swap(data[i * n + r], data[i * n + s]);
  }
}

template <typename Cost>
void QAPSearch<Cost>::FillDeltasAndLists() {
  std::fill(delta_.begin(), delta_.end(), Cost{0});
  std::fill(penaltyDelta_.begin(), penaltyDelta_.end(), 0);
  deltaMin_ = kUnsetCost;
  lists_.Reset(static_cast<std::size_t>(n_) * n_);
  for (int r = 0; r < static_cast<int>(n_); ++r) {
    for (int s = r + 1; s < static_cast<int>(n_); ++s) {
      if (!IsCandidate(r, s)) continue;
      const std::size_t index = Index(r, s);
      delta_[index] = FullDelta(r, s);
      deltaMin_ = std::min(deltaMin_, delta_[index]);
      lists_.Add(static_cast<std::uint32_t>(index), MoveLists::TypeOfAugmentedDelta(Augmented(index)));
    }
  }
}

// Full swap delta on the current permutation, in the search's integer type;
// the instance's bounds guarantee that no partial sum overflows it. The dot
// products run over every k, branch-free, and the terms of k = r and k = s are
// taken out afterwards.
template <typename Cost>
Cost QAPSearch<Cost>::FullDelta(int r, int s) const {
  const std::size_t n = n_;
  const std::int32_t* aRowR = problem_.ARow(r);
  const std::int32_t* aRowS = problem_.ARow(s);
  const std::int32_t* bRowS = bp_.data() + static_cast<std::size_t>(s) * n;  // B[p(s)][p(k)]
  const std::int32_t* bRowR = bp_.data() + static_cast<std::size_t>(r) * n;
  auto term = [&](const std::int32_t* a1, const std::int32_t* a2, const std::int32_t* b1, const std::int32_t* b2,
                  int k) { return (Cost{a1[k]} - a2[k]) * (Cost{b1[k]} - b2[k]); };
  if (type_ == QAPProblem::kSymmetric) {
    // A and B symmetric: A[k][r] = A[r][k] and B[p(k)][p(s)] = B[p(s)][p(k)].
    Cost d = Dot(aRowR, aRowS, bRowS, bRowR);
    d -= term(aRowR, aRowS, bRowS, bRowR, r) + term(aRowR, aRowS, bRowS, bRowR, s);
    return 2 * d;
  }
  if (type_ == QAPProblem::kGeneral) {
    const std::int32_t* aColR = aT_.data() + static_cast<std::size_t>(r) * n;
    const std::int32_t* aColS = aT_.data() + static_cast<std::size_t>(s) * n;
    const std::int32_t* bColS = bpT_.data() + static_cast<std::size_t>(s) * n;  // B[p(k)][p(s)]
    const std::int32_t* bColR = bpT_.data() + static_cast<std::size_t>(r) * n;
    Cost d = (Cost{aRowR[r]} - aRowS[s]) * (Cost{bRowS[s]} - bRowR[r]) +
             (Cost{aRowR[s]} - aRowS[r]) * (Cost{bRowS[r]} - bRowR[s]);
    d += Dot(aColR, aColS, bColS, bColR);
    d += Dot(aRowR, aRowS, bRowS, bRowR);
    d -= term(aColR, aColS, bColS, bColR, r) + term(aColR, aColS, bColS, bColR, s);
    d -= term(aRowR, aRowS, bRowS, bRowR, r) + term(aRowR, aRowS, bRowS, bRowR, s);
    return d;
  }
  // Block, r inside and s outside: B symmetric, so B[p(k)][p(s)] = B[p(s)][p(k)].
  const std::size_t block = static_cast<std::size_t>(blockSize_);
  Cost d = qapkernels::SumOfDifferences(bRowS, bRowR, block, Cost{});
  d -= Cost{bRowS[r]} - bRowR[r];
  return 2 * d;
}

template <typename Cost>
Cost QAPSearch<Cost>::Dot(const std::int32_t* a1, const std::int32_t* a2, const std::int32_t* b1,
                          const std::int32_t* b2) const {
  if constexpr (std::is_same_v<Cost, std::int64_t>) {
    if (smallEntries_) return qapkernels::DotOfSmallDifferences(a1, a2, b1, b2, n_);
  }
  return qapkernels::DotOfDifferences(a1, a2, b1, b2, n_, Cost{});
}

template <typename Cost>
std::int32_t QAPSearch<Cost>::FullPenaltyDelta(int r, int s) const {
  const std::size_t n = n_;
  const std::int32_t* rowR = penalty_.data() + r * n;
  const std::int32_t* rowS = penalty_.data() + s * n;
  return rowR[perm_[s]] + rowS[perm_[r]] - rowR[perm_[r]] - rowS[perm_[s]];
}

template <typename Cost>
void QAPSearch<Cost>::SetMembership(std::size_t index) {
  const MoveLists::MoveType type = MoveLists::TypeOfAugmentedDelta(Augmented(index));
  if (type != lists_.TypeOf(static_cast<std::uint32_t>(index)))
    lists_.MoveTo(static_cast<std::uint32_t>(index), type);
}

template <typename Cost>
void QAPSearch<Cost>::MakeMove(int r, int s) {
  const Wide moveNumber = Wide{stats_.Repairs()} + 1;
  recency_[Index(r, perm_[r])] = static_cast<std::int32_t>(moveNumber);
  recency_[Index(s, perm_[s])] = static_cast<std::int32_t>(moveNumber);

  const std::size_t index = Index(r, s);
  const Cost d = delta_[index];
  const std::int32_t pd = penaltyDelta_[index];
  cost_ += d;
  augCost_ += costScale_ * Wide{d} + lambda_ * Wide{pd};

  const int pr = perm_[r], ps = perm_[s];
  const unsigned differedBefore = (pr != refPerm_[r]) + (ps != refPerm_[s]);
  fingerprint_.Toggle(keys_.Key(r, pr));
  fingerprint_.Toggle(keys_.Key(s, ps));
  perm_[r] = ps;
  perm_[s] = pr;
  pos_[ps] = r;
  pos_[pr] = s;
  fingerprint_.Toggle(keys_.Key(r, ps));
  fingerprint_.Toggle(keys_.Key(s, pr));
  SwapPermutedDistances(r, s);
  const unsigned differAfter = (ps != refPerm_[r]) + (pr != refPerm_[s]);
  distance_ = distance_ + differAfter - differedBefore;

  UpdateDeltasAfterSwap(r, s);

  stats_.RecordSolution(perm_);
  if (visited_.Visit(fingerprint_) > 1) stats_.AddRepetition();
  stats_.RecordMove(cost_);
}

template <typename Cost>
void QAPSearch<Cost>::UpdateDeltasAfterSwap(int r, int s) {
  const std::size_t index = Index(r, s);
  delta_[index] = -delta_[index];
  deltaMin_ = delta_[index];
  penaltyDelta_[index] = -penaltyDelta_[index];
  SetMembership(index);
  switch (type_) {
    case QAPProblem::kSymmetric:
      UpdateDisjointSymmetric(r, s);
      break;
    case QAPProblem::kGeneral:
      UpdateDisjointGeneral(r, s);
      break;
    default:
      UpdateDisjointBlock(r, s);
      break;
  }
  RecomputeSwapsTouching(r, s);
}

// Pairs that share a position with the swap get the full formula; their
// penalty deltas are recomputed from the penalty table.
template <typename Cost>
void QAPSearch<Cost>::RecomputeSwapsTouching(int r, int s) {
  const int n = static_cast<int>(n_);
  auto recompute = [&](int u, int v) {
    if (u > v) std::swap(u, v);
    if (!IsCandidate(u, v)) return;
    const std::size_t index = Index(u, v);
    delta_[index] = FullDelta(u, v);
    deltaMin_ = std::min(deltaMin_, delta_[index]);
    penaltyDelta_[index] = FullPenaltyDelta(u, v);
    SetMembership(index);
  };
  for (int k = 0; k < n; ++k) {
    if (k == r || k == s) continue;
    recompute(r, k);
    recompute(s, k);
  }
}

template <typename Cost>
bool QAPSearch<Cost>::AugmentedFitsIn32() const {
  if constexpr (!std::is_same_v<Cost, std::int32_t>) {
    return false;
  } else {
    if (lambda_ > kUnset32 || costScale_ > kUnset32) return false;
    const double lambda = penaltyMax_ == 0 ? 0.0 : static_cast<double>(lambda_);
    const double bound = static_cast<double>(costScale_) * problem_.CostBound() +
                         4.0 * lambda * static_cast<double>(penaltyMax_);
    return bound < 2147483647.0;
  }
}

// Runs the kernel on every row u < rowEnd other than r and s, over the
// columns from max(u + 1, columnBegin) that are neither r nor s (pairs that
// share a position with the swap are recomputed in full afterwards), and moves
// each swap whose type changed to its new list, in row order.
template <typename Cost>
template <typename Kernel>
void QAPSearch<Cost>::UpdateRows(int r, int s, std::size_t rowEnd, std::size_t columnBegin, Kernel kernel) {
  const std::size_t n = n_;
  const bool narrow = AugmentedFitsIn32();
  const std::size_t lo = static_cast<std::size_t>(std::min(r, s)), hi = static_cast<std::size_t>(std::max(r, s));
  for (std::size_t u = 0; u < rowEnd; ++u) {
    if (u == lo || u == hi) continue;
    const std::size_t first = std::max(u + 1, columnBegin);
    const std::size_t pieces[3][2] = {{first, std::min(lo, n)}, {std::max(first, lo + 1), hi}, {std::max(first, hi + 1), n}};
    for (const auto& piece : pieces) {
      if (piece[0] >= piece[1]) continue;
      const std::size_t index = u * n;
      if (narrow) {
        const qapkernels::RowUpdate<Cost, std::int32_t> row{
            delta_.data() + index, penaltyDelta_.data() + index, rowTypes_.data(),
            static_cast<std::int32_t>(costScale_), static_cast<std::int32_t>(penaltyMax_ == 0 ? 0 : lambda_)};
        if constexpr (std::is_same_v<Cost, std::int32_t>)
          deltaMin_ = std::min(deltaMin_, kernel(row, u, piece[0], piece[1]));
      } else {
        const qapkernels::RowUpdate<Cost, Wide> row{delta_.data() + index, penaltyDelta_.data() + index,
                                                    rowTypes_.data(), costScale_, lambda_};
        deltaMin_ = std::min(deltaMin_, kernel(row, u, piece[0], piece[1]));
      }
      ApplyTypes(u, piece[0], piece[1]);
    }
  }
}

template <typename Cost>
void QAPSearch<Cost>::ApplyTypes(std::size_t u, std::size_t begin, std::size_t end) {
  const std::size_t index = u * n_;
  const std::uint8_t* now = lists_.Types() + index;
  const std::uint8_t* updated = rowTypes_.data();
  std::size_t v = begin;
  // Most types stay as they were: compare eight at a time.
  for (; v + 8 <= end; v += 8) {
    std::uint64_t a, b;
    std::memcpy(&a, now + v, 8);
    std::memcpy(&b, updated + v, 8);
    if (a == b) continue;
    for (std::size_t w = v; w < v + 8; ++w)
      if (now[w] != updated[w])
        lists_.MoveTo(static_cast<std::uint32_t>(index + w), static_cast<MoveLists::MoveType>(updated[w]));
  }
  for (; v < end; ++v)
    if (now[v] != updated[v])
      lists_.MoveTo(static_cast<std::uint32_t>(index + v), static_cast<MoveLists::MoveType>(updated[v]));
}

// delta(u, v) += 2 (x[u] - x[v]) (y[u] - y[v]) with x[k] = A[r][k] - A[s][k]
// and y[k] = B[p'(s)][p'(k)] - B[p'(r)][p'(k)], p' the permutation after the swap.
template <typename Cost>
void QAPSearch<Cost>::UpdateDisjointSymmetric(int r, int s) {
  const std::size_t n = n_;
  const std::int32_t* aRowR = problem_.ARow(r);
  const std::int32_t* aRowS = problem_.ARow(s);
  const std::int32_t* bRowS = bp_.data() + static_cast<std::size_t>(s) * n;
  const std::int32_t* bRowR = bp_.data() + static_cast<std::size_t>(r) * n;
  Cost* x = x_.data();
  Cost* y = y_.data();
  for (std::size_t k = 0; k < n; ++k) {
    x[k] = Cost{aRowR[k]} - aRowS[k];
    y[k] = Cost{bRowS[k]} - bRowR[k];
  }
  UpdateRows(r, s, n, 0, [&](const auto& row, std::size_t u, std::size_t begin, std::size_t end) {
    return qapkernels::UpdateSymmetric(row, x, y, x[u], y[u], begin, end);
  });
}

// Two such products: the rows of A and B as above, and their columns
// x2[k] = A[k][r] - A[k][s], y2[k] = B[p'(k)][p'(s)] - B[p'(k)][p'(r)].
template <typename Cost>
void QAPSearch<Cost>::UpdateDisjointGeneral(int r, int s) {
  const std::size_t n = n_;
  const std::int32_t* aRowR = problem_.ARow(r);
  const std::int32_t* aRowS = problem_.ARow(s);
  const std::int32_t* aColR = aT_.data() + static_cast<std::size_t>(r) * n;
  const std::int32_t* aColS = aT_.data() + static_cast<std::size_t>(s) * n;
  const std::int32_t* bRowS = bp_.data() + static_cast<std::size_t>(s) * n;
  const std::int32_t* bRowR = bp_.data() + static_cast<std::size_t>(r) * n;
  const std::int32_t* bColS = bpT_.data() + static_cast<std::size_t>(s) * n;
  const std::int32_t* bColR = bpT_.data() + static_cast<std::size_t>(r) * n;
  Cost* x = x_.data();
  Cost* y = y_.data();
  Cost* x2 = x2_.data();
  Cost* y2 = y2_.data();
  for (std::size_t k = 0; k < n; ++k) {
    x[k] = Cost{aRowR[k]} - aRowS[k];
    y[k] = Cost{bRowS[k]} - bRowR[k];
    x2[k] = Cost{aColR[k]} - aColS[k];
    y2[k] = Cost{bColS[k]} - bColR[k];
  }
  UpdateRows(r, s, n, 0, [&](const auto& row, std::size_t u, std::size_t begin, std::size_t end) {
    const qapkernels::GeneralTerms<Cost> terms{x, y, x2, y2, x[u], y[u], x2[u], y2[u]};
    return qapkernels::UpdateGeneral(row, terms, begin, end);
  });
}

// With r inside the block and s outside: delta(u, v) += 2 (z[v] - z[u]),
// z[k] = B[p'(r)][p'(k)] - B[p'(s)][p'(k)].
template <typename Cost>
void QAPSearch<Cost>::UpdateDisjointBlock(int r, int s) {
  const std::size_t n = n_;
  const std::int32_t* bRowR = bp_.data() + static_cast<std::size_t>(r) * n;
  const std::int32_t* bRowS = bp_.data() + static_cast<std::size_t>(s) * n;
  Cost* z = x_.data();
  for (std::size_t k = 0; k < n; ++k) z[k] = Cost{bRowR[k]} - bRowS[k];
  UpdateRows(r, s, static_cast<std::size_t>(blockSize_), static_cast<std::size_t>(blockSize_),
             [&](const auto& row, std::size_t u, std::size_t begin, std::size_t end) {
               return qapkernels::UpdateBlock(row, z, z[u], begin, end);
             });
}

template <typename Cost>
std::string QAPSearch<Cost>::Verify() const {
  std::ostringstream out;
  const std::int64_t trueCost = problem_.Cost(perm_);
  if (trueCost != Wide{cost_}) {
    out << "cost " << Wide{cost_} << " but recount " << trueCost;
    return out.str();
  }
  Wide penaltySum = 0;
  for (unsigned i = 0; i < n_; ++i) {
    if (pos_[perm_[i]] != static_cast<int>(i)) return "inverse permutation out of step";
    penaltySum += penalty_[Index(static_cast<int>(i), perm_[i])];
  }
  if (augCost_ != costScale_ * Wide{cost_} + lambda_ * penaltySum) {
    out << "augCost " << augCost_ << " but recount " << costScale_ * Wide{cost_} + lambda_ * penaltySum;
    return out.str();
  }
  unsigned distance = 0;
  for (unsigned i = 0; i < n_; ++i) distance += perm_[i] != refPerm_[i];
  if (distance != distance_) return "distance out of step";
  if (!(fingerprint_ == keys_.Of(perm_))) return "fingerprint out of step";
  std::size_t candidates = 0;
  for (int r = 0; r < static_cast<int>(n_); ++r) {
    for (int s = r + 1; s < static_cast<int>(n_); ++s) {
      if (!IsCandidate(r, s)) continue;
      ++candidates;
      const std::size_t index = Index(r, s);
      const std::int64_t trueDelta = problem_.SwapDelta(perm_, r, s);
      if (Wide{delta_[index]} != trueDelta) {
        out << "delta(" << r << "," << s << ") " << Wide{delta_[index]} << " but recount " << trueDelta;
        return out.str();
      }
      if (penaltyDelta_[index] != FullPenaltyDelta(r, s)) {
        out << "penaltyDelta(" << r << "," << s << ") out of step";
        return out.str();
      }
      const auto type = lists_.TypeOf(static_cast<std::uint32_t>(index));
      if (type != MoveLists::TypeOfAugmentedDelta(Augmented(index))) {
        out << "swap (" << r << "," << s << ") in the wrong list";
        return out.str();
      }
      const auto& list = lists_.List(type);
      const std::uint32_t slot = lists_.SlotOf(static_cast<std::uint32_t>(index));
      if (slot >= list.size() || list[slot] != index) {
        out << "swap (" << r << "," << s << ") not at its slot";
        return out.str();
      }
    }
  }
  Cost smallest = kUnsetCost;
  for (int r = 0; r < static_cast<int>(n_); ++r)
    for (int s = r + 1; s < static_cast<int>(n_); ++s)
      if (IsCandidate(r, s)) smallest = std::min(smallest, delta_[Index(r, s)]);
  if (smallest != deltaMin_) return "smallest delta out of step";
  const std::size_t listed = lists_.List(MoveLists::kImproving).size() +
                             lists_.List(MoveLists::kSideways).size() +
                             lists_.List(MoveLists::kWorsening).size();
  if (listed != candidates)
    return "lists hold " + std::to_string(listed) + " swaps, not " + std::to_string(candidates);
  return "";
}

template class QAPSearch<std::int32_t>;
template class QAPSearch<std::int64_t>;

}  // namespace mirelock
