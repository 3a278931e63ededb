// Penalties of the label features (item j at position i) and lambda.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <sstream>

#include "platform/FatalError.h"
#include "platform/NumberFormat.h"

#include "qap/QAPSearch.h"
#include "qap/RoundHalfUp.h"

namespace mirelock {

template <typename Cost>
bool QAPSearch<Cost>::Penalise() {
  const std::size_t n = n_;
  for (std::size_t i = 0; i < n; ++i) {
    if (featureCostKnown_[i]) continue;
    const int pi = perm_[i];
    const std::int32_t* aRow = problem_.ARow(static_cast<unsigned>(i));
    const std::int32_t* aCol = aT_.data() + i * n;
    const std::int32_t* bRow = problem_.BRow(pi);
    const std::int32_t* bCol = bT_.data() + static_cast<std::size_t>(pi) * n;
    Wide sum = 0;
    for (std::size_t k = 0; k < n; ++k) {
      const int pk = perm_[k];
      sum += Wide{aRow[k]} * bRow[pk] + Wide{aCol[k]} * bCol[pk];
    }
    featureCost_[i] = sum;
    featureCostKnown_[i] = 1;
  }
  stats_.RecordLocalMinimum(cost_);
  refPerm_ = perm_;
  distance_ = 0;
  if (parameters_.decayOn && parameters_.decayAfter != 0 &&
      stats_.LocalMinima() % parameters_.decayAfter == 0)
    DecayPenalties();
  if (lambda_ == kUnset32) {
    lambda_ = InitLambda();
    penaltyUnit_ = 100;
    lambda0_ = lambda_;
    Wide penaltySum = 0;
    for (std::size_t i = 0; i < n; ++i) penaltySum += penalty_[i * n + perm_[i]];
    augCost_ = costScale_ * Wide{cost_} + lambda_ * penaltySum;
  }

  double best = 0;
  bool found = false;
  kept_.clear();
  for (std::size_t i = 0; i < n; ++i) {
    const double utility =
        static_cast<double>(featureCost_[i]) /
        (1.0 + static_cast<double>(penalty_[i * n + perm_[i]]) / static_cast<double>(penaltyUnit_));
    if (utility < DBL_MIN) continue;
    if (!found || utility > best) {
      best = utility;
      found = true;
      kept_.clear();
      kept_.push_back(static_cast<std::uint32_t>(i));
    } else if (utility == best) {
      kept_.push_back(static_cast<std::uint32_t>(i));
    }
  }
  // A feature penalised about ten million times would leave the range that
  // the penalty deltas and CheckRepresentable assume; such a run has stalled and ends.
  for (std::uint32_t i : kept_)
    if (penalty_[i * n + perm_[i]] > kPenaltyCap - penaltyUnit_) return false;
  for (std::uint32_t i : kept_)
    AddLabelPenalty(static_cast<int>(i), perm_[i], static_cast<std::int32_t>(penaltyUnit_));
  return !kept_.empty();
}

// penaltyDelta(r, s) = P[r][p(s)] + P[s][p(r)] - P[r][p(r)] - P[s][p(s)], so a
// change of P[i][j] touches the swaps of position i that take j away from it
// (when j is at i) or bring j to it.
template <typename Cost>
void QAPSearch<Cost>::AddLabelPenalty(int position, int item, std::int32_t change) {
  penalty_[Index(position, item)] += change;
  penaltyMax_ = std::max<Wide>(penaltyMax_, std::abs(Wide{penalty_[Index(position, item)]}));
  const bool block = type_ == QAPProblem::kBlock;
  const bool inside = position < blockSize_;
  if (perm_[position] == item) {
    for (int k = 0; k < static_cast<int>(n_); ++k) {
      if (k == position) continue;
      if (block && (k < blockSize_) == inside) continue;
      AddPenaltyDelta(position, k, -change);
    }
    augCost_ += lambda_ * Wide{change};
  } else {
    const int k = pos_[item];
    if (k != position && (!block || (k < blockSize_) != inside)) AddPenaltyDelta(position, k, change);
  }
}

template <typename Cost>
void QAPSearch<Cost>::AddPenaltyDelta(int r, int s, std::int32_t change) {
  if (r > s) std::swap(r, s);
  const std::size_t index = Index(r, s);
  penaltyDelta_[index] += change;
  SetMembership(index);
}

template <typename Cost>
void QAPSearch<Cost>::DecayPenalties() {
  const double factor = parameters_.decayFactor;
  for (int i = 0; i < static_cast<int>(n_); ++i) {
    for (int j = 0; j < static_cast<int>(n_); ++j) {
      const std::int32_t old = penalty_[Index(i, j)];
      const std::int32_t now = static_cast<std::int32_t>(RoundHalfUp(old * factor));
      if (now != old) AddLabelPenalty(i, j, now - old);
    }
  }
}

// "avefeaturecost": one whole penalisation weighs about the mean entry of A
// times the mean entry of B in cost units, scaled like the costs.
template <typename Cost>
typename QAPSearch<Cost>::Wide QAPSearch<Cost>::InitLambda() const {
  const double cells = static_cast<double>(n_) * n_;
  double x = parameters_.lambdaCoeff * (problem_.SumA() / cells) * (problem_.SumB() / cells);
  if (x == 0) x = 1.0;
  Wide lambda = RoundHalfUp(x * static_cast<double>(costScale_) / 100);
  if (lambda == 0) lambda = 1;
  return lambda;
}

template <typename Cost>
void QAPSearch<Cost>::CheckRepresentable() const {
  if (parameters_.decayOn && !(parameters_.decayFactor >= 0 && parameters_.decayFactor <= 1)) {
    std::ostringstream what;
    UseDefaultNumberFormat(what);
    what << "Error: penalty decay factor " << parameters_.decayFactor << " is not between 0 and 1\n";
    throw FatalError(what.str(), OutputStream::Err, 1);
  }
  const double coefficient = parameters_.lambdaCoeff;
  // |augmented delta| <= costScale |delta| + lambda 2 cap and augCost <= costScale cost + lambda n cap;
  // the instance keeps costs and deltas below 2^62 (and costScale * cost below 2^31 when scaled).
  const double costPart = static_cast<double>(costScale_) * std::max(problem_.CostBound(), 0.0);
  const double room = 9223372036854775807.0 - costPart;
  const double penaltyPart = static_cast<double>(std::max(n_, 2u)) * kPenaltyCap;
  const double largestLambda = std::floor(room / penaltyPart);
  const double cells = static_cast<double>(n_) * n_;
  const double perUnit = (problem_.SumA() / cells) * (problem_.SumB() / cells) * static_cast<double>(costScale_) / 100;
  const double lambda = std::floor(std::max(coefficient * perUnit, 0.0) + 0.5);
  if (coefficient >= 0 && lambda <= largestLambda) return;
  std::ostringstream what;
  UseDefaultNumberFormat(what);
  if (!(coefficient >= 0)) {
    what << "Error: lambda coefficient " << coefficient << " is negative or not a number\n";
  } else {
    what << "Error: lambda coefficient " << coefficient << " gives a penalty weight of " << lambda
         << ", beyond the " << largestLambda
         << " that 64-bit augmented costs can hold on this problem; the largest usable coefficient is "
         << (perUnit > 0 ? largestLambda / perUnit : largestLambda) << "\n";
  }
  throw FatalError(what.str(), OutputStream::Err, 1);
}

template class QAPSearch<std::int32_t>;
template class QAPSearch<std::int64_t>;

}  // namespace mirelock
