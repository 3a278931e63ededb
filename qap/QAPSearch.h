#pragma once
#include <cstdint>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "qap/MoveLists.h"
#include "qap/QAPParameters.h"
#include "qap/QAPProblem.h"
#include "qap/VisitedSet.h"
#include "solver/QAPStats.h"

namespace mirelock {

// A swap of two positions, r < s; (-1, -1) when none.
struct Swap {
  int r = -1, s = -1;
  bool operator==(const Swap&) const = default;
};

// The last aspiring move and whether the previous move was one. They outlive
// solvers, but each worker thread has its own, so concurrent or abandoned
// workers never share them.
struct AspirationMemory {
  Swap lastMove{0, 0};
  bool previousAspiring = false;
};
AspirationMemory& ThreadAspirationMemory();

// The GLS search over permutations. Cost is the integer type of the cost and
// the swap deltas: 32 bits where the instance's bounds allow, 64 bits
// otherwise. Augmented values (scaled costs plus lambda times penalties) are
// always formed in 64 bits, which equals the 32-bit result wherever that does
// not overflow.
template <typename Cost>
class QAPSearch {
 public:
  using Wide = std::int64_t;
  using UnsignedCost = std::make_unsigned_t<Cost>;
  static constexpr Cost kUnsetCost = std::numeric_limits<Cost>::max();
  static constexpr Wide kUnset32 = 2147483647;
  // Largest penalty of one feature: a penalty delta (two entries minus two)
  // then stays within 32 bits.
  static constexpr std::int32_t kPenaltyCap = (1 << 30) - 1;

  QAPSearch(const QAPProblem& problem, QAPParameters& parameters, QAPStats& stats,
            std::function<bool()> stopRequested);

  // One complete run.
  void Run(unsigned runNumber);

  // The steps of a run, public so that tests can drive the state directly.
  void BeginRun(unsigned runNumber);  // Solve steps 1 to 9
  void InitialSolution(unsigned runNumber);
  void InitRun();
  bool LocalSearch();
  bool Penalise();
  void MakeMove(int r, int s);
  void AddLabelPenalty(int position, int item, std::int32_t change);
  void DecayPenalties();
  Wide InitLambda() const;
  // Raises FatalError when the lambda of this run could make lambda times the
  // penalties (up to kPenaltyCap each) leave the 64-bit range of augmented
  // values, or when a decay factor outside 0 to 1 could push penalties out of range.
  void CheckRepresentable() const;
  bool IsFinished();
  void RecordNewBest(bool byAspiration);
  void WriteMonitorLine();
  void EndRun();

  Swap Pick(const std::vector<std::uint32_t>& list, int pickType);
  bool FindAspirationMove(Swap& aspMove);

  // Whether a random swap can be drawn on this instance.
  bool RandomMovesPossible() const;
  // A uniformly drawn candidate swap, ordered r < s.
  Swap RandomSwap();

  // State, for the solver's tests and benchmarks.
  const std::vector<int>& Perm() const { return perm_; }
  Cost CurrentCost() const { return cost_; }
  Cost BestCost() const { return bestCost_; }
  const std::vector<int>& BestPerm() const { return bestPerm_; }
  int MonitorError() const { return monitorError_; }
  Wide AugCost() const { return augCost_; }
  Wide CostScale() const { return costScale_; }
  Wide Lambda() const { return lambda_; }
  unsigned Distance() const { return distance_; }
  Cost Delta(int r, int s) const { return delta_[Index(r, s)]; }
  Wide AugmentedDelta(int r, int s) const { return Augmented(Index(r, s)); }
  const MoveLists& Lists() const { return lists_; }
  bool IsCandidate(int r, int s) const;
  // Recomputes every incremental quantity from scratch; returns a description
  // of the first mismatch, or "" when everything agrees.
  std::string Verify() const;

 private:
  std::size_t Index(int r, int s) const {
    return static_cast<std::size_t>(r) * n_ + static_cast<std::size_t>(s);
  }
  Wide Augmented(std::size_t index) const {
    return costScale_ * Wide{delta_[index]} + lambda_ * Wide{penaltyDelta_[index]};
  }
  bool Below(Cost a, Cost b) const { return static_cast<UnsignedCost>(a) < static_cast<UnsignedCost>(b); }
  Cost FullDelta(int r, int s) const;
  Cost Dot(const std::int32_t* a1, const std::int32_t* a2, const std::int32_t* b1, const std::int32_t* b2) const;
  std::int32_t FullPenaltyDelta(int r, int s) const;
  void SetMembership(std::size_t index);
  void AddPenaltyDelta(int r, int s, std::int32_t change);
  void UpdateDeltasAfterSwap(int r, int s);
  void RecomputeSwapsTouching(int r, int s);
  void UpdateDisjointSymmetric(int r, int s);
  void UpdateDisjointGeneral(int r, int s);
  void UpdateDisjointBlock(int r, int s);
  void FillDeltasAndLists();
  void BuildPermutedDistances();
  void SwapPermutedDistances(int r, int s);
  // True when costScale * delta + lambda * penaltyDelta fits 32 bits for every
  // swap: |delta| is at most the cost bound and |penaltyDelta| at most four
  // times the largest penalty (twice, while penalties are not negative).
  bool AugmentedFitsIn32() const;
  // The row kernels with the augmented type that the current penalties allow.
  template <typename Kernel>
  void UpdateRows(int r, int s, std::size_t rowEnd, std::size_t columnBegin, Kernel kernel);
  // Moves to their new lists the swaps of row u in [begin, end) whose type the kernel changed.
  void ApplyTypes(std::size_t u, std::size_t begin, std::size_t end);
  void MakeMoveAndMonitor(int r, int s) {
    MakeMove(r, s);
    WriteMonitorLine();
  }

  const QAPProblem& problem_;
  QAPParameters& parameters_;
  QAPStats& stats_;
  std::function<bool()> stopRequested_;

  unsigned n_ = 0;
  int type_ = 0;                       // search type of the problem
  int blockSize_ = 0;                  // type 2 only
  bool smallEntries_ = false;          // every entry below 2^30
  std::vector<std::int32_t> aT_, bT_;  // transposed matrices, for contiguous columns
  // Distances permuted with the solution: bp_[i * n + k] = B[p(i)][p(k)], and
  // for general instances its transpose bpT_[i * n + k] = B[p(k)][p(i)].
  std::vector<std::int32_t> bp_, bpT_;

  std::vector<int> perm_, pos_, bestPerm_, refPerm_;
  unsigned distance_ = 0;
  Cost cost_ = 0, bestCost_ = kUnsetCost;
  Wide costScale_ = 1, penaltyUnit_ = kUnset32, lambda_ = kUnset32, lambda0_ = kUnset32;
  Wide augCost_ = 0;

  std::vector<std::int32_t> penalty_;  // [position * n + item]
  Wide penaltyMax_ = 0;                // no penalty of the run was ever larger
  std::vector<Wide> featureCost_;
  std::vector<std::uint8_t> featureCostKnown_;
  std::vector<std::int32_t> recency_;  // [position * n + item]

  std::vector<Cost> delta_;                 // [r * n + s] for candidate swaps
  Cost deltaMin_ = kUnsetCost;              // the smallest delta of a candidate swap
  std::vector<std::int32_t> penaltyDelta_;  // same layout
  MoveLists lists_;

  FingerprintKeys keys_;
  Fingerprint fingerprint_;
  VisitedSet visited_;

  std::ofstream monitor_;
  bool monitorOpen_ = false;
  int monitorError_ = 0;  // see Solver::MonitorWriteError
  void NoteMonitorFailure();

  // Scratch of the move and pick loops, sized once.
  std::vector<Cost> x_, y_, x2_, y2_;
  std::vector<std::uint32_t> kept_, aspirationKept_;
  std::vector<std::uint8_t> rowTypes_;
};

extern template class QAPSearch<std::int32_t>;
extern template class QAPSearch<std::int64_t>;

}  // namespace mirelock
