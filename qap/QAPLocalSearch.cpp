// One run: the GLS loop, the local search with its aspiration bookkeeping,
// termination, new bests and the monitor stream.
#include <cerrno>
#include <iostream>

#include "platform/Clock.h"
#include "platform/FatalError.h"
#include "platform/NumberFormat.h"
#include "platform/Random.h"
#include "qap/QAPSearch.h"

namespace mirelock {

template <typename Cost>
void QAPSearch<Cost>::Run(unsigned runNumber) {
  BeginRun(runNumber);
  // Penalisations with no move in between can cycle for ever when decays take
  // away what they add (or when lambda is negative); a run that goes through
  // this many local minima without a single repair has stalled and ends.
  const std::uint64_t stallLimit = 10 * std::uint64_t{n_} * n_ + 1000;
  std::uint64_t idleMinima = 0;
  for (;;) {
    if (Below(cost_, bestCost_)) RecordNewBest(false);
    const unsigned repairsBefore = stats_.Repairs();
    bool proceed = true;
    if (!LocalSearch()) proceed = Penalise();
    idleMinima = stats_.Repairs() == repairsBefore ? idleMinima + 1 : 0;
    if (IsFinished() || !proceed || idleMinima > stallLimit) break;
  }
  EndRun();
}

template <typename Cost>
void QAPSearch<Cost>::BeginRun(unsigned runNumber) {
  parameters_.SetProblemSize(n_);
  monitorOpen_ = false;
  if (!parameters_.monitorFileName.empty()) {
    if (monitor_.is_open()) monitor_.close();
    monitor_.clear();
    monitor_.open(parameters_.monitorFileName, std::ios::out | std::ios::trunc);
    UseDefaultNumberFormat(monitor_);
    monitorOpen_ = monitor_.is_open();
    NoteMonitorFailure();
  }
  std::fill(recency_.begin(), recency_.end(), 0);
  InitialSolution(runNumber);
  InitRun();
  CheckRepresentable();
  distance_ = 0;
  refPerm_ = perm_;
  bestCost_ = kUnsetCost;
  stats_.ResetRun(Wide{kUnsetCost});
  stats_.StartClock();
  stats_.RecordSolution(perm_);
  if (Below(cost_, bestCost_)) RecordNewBest(false);
  if (monitorOpen_) {
    monitor_ << "Repairs\tBest_Cost\tCost\tAugmented_Cost\t";
    stats_.WriteHeader(monitor_);
    monitor_ << "\n";
    WriteMonitorLine();
  }
}

template <typename Cost>
void QAPSearch<Cost>::EndRun() {
  stats_.StopClock();
  if (monitor_.is_open()) {
    monitor_.close();
    NoteMonitorFailure();
  }
  monitorOpen_ = false;
}

template <typename Cost>
void QAPSearch<Cost>::NoteMonitorFailure() {
  if (!monitor_ && monitorError_ == 0) monitorError_ = errno != 0 ? errno : EIO;
}

template <typename Cost>
bool QAPSearch<Cost>::LocalSearch() {
  AspirationMemory& memory = ThreadAspirationMemory();
  const unsigned sidewaysLimit = parameters_.maxConsecSideways;
  // A limit of 0 allows no sideways move but still every improving one, so
  // that the run goes on making repairs until its limit.
  const bool sidewaysAllowed = sidewaysLimit > 0;
  const bool randomMoves = parameters_.pRandomMove > 0 && RandomMovesPossible();
  const int pickType = parameters_.pickType;
  unsigned consecSideways = 0;
  bool moved = true;
  while (!IsFinished()) {
    if ((sidewaysAllowed && consecSideways >= sidewaysLimit) || !moved) break;
    Swap aspMove{0, 0};
    const bool aspiring = FindAspirationMove(aspMove);
    if (!aspiring && randomMoves && static_cast<double>(Random()) / kRandomMax < parameters_.pRandomMove) {
      const Swap swap = RandomSwap();
      MakeMoveAndMonitor(swap.r, swap.s);
      consecSideways = 0;
      moved = true;
      continue;
    }
    Swap picked;
    if (!lists_.List(MoveLists::kImproving).empty()) {
      picked = Pick(lists_.List(MoveLists::kImproving), pickType);
      if (!aspiring && picked.r != -1) {
        MakeMoveAndMonitor(picked.r, picked.s);
        consecSideways = 0;
        moved = true;
      }
    } else if (sidewaysAllowed && !lists_.List(MoveLists::kSideways).empty()) {
      picked = Pick(lists_.List(MoveLists::kSideways), pickType);
      if (!aspiring && picked.r != -1) {
        MakeMoveAndMonitor(picked.r, picked.s);
        ++consecSideways;
        moved = true;
      }
    } else {
      moved = false;
    }

    const Swap last = memory.lastMove;
    if (memory.previousAspiring && moved && (!aspiring || picked == aspMove)) {
      if (picked == last || (picked.r == last.s && picked.s == last.r)) stats_.AddAspiringMoveUndone();
    } else if (aspiring && memory.previousAspiring) {
      stats_.AddConsecutiveAspiringMove();
    }
    if (aspiring) {
      MakeMoveAndMonitor(aspMove.r, aspMove.s);
      consecSideways = 0;
      moved = true;
      if (!(aspMove == picked)) {
        memory.lastMove = aspMove;
        memory.previousAspiring = true;
        stats_.AddAspiringMove();
      } else {
        memory.previousAspiring = false;
      }
    } else {
      memory.previousAspiring = false;
    }
    if (Below(cost_, bestCost_)) RecordNewBest(memory.previousAspiring);
  }
  const bool listsLeft = !lists_.List(MoveLists::kImproving).empty() ||
                         (sidewaysAllowed && !lists_.List(MoveLists::kSideways).empty());
  return (!sidewaysAllowed || consecSideways < sidewaysLimit) && listsLeft;
}

template <typename Cost>
bool QAPSearch<Cost>::IsFinished() {
  if (parameters_.maxSecs != QAPParameters::kUnset &&
      static_cast<unsigned long>((ClockMilliseconds() - stats_.StartClockValue()) / 1000) >=
          parameters_.maxSecs)
    return true;
  if (stats_.Repairs() >= parameters_.maxRepairs) return true;
  if (stats_.TotalRepairs() >= parameters_.maxTotalRepairs) return true;
  return stopRequested_ && stopRequested_();
}

template <typename Cost>
void QAPSearch<Cost>::RecordNewBest(bool byAspiration) {
  if (problem_.Cost(perm_) != Wide{cost_})
    throw FatalError("Error: new best solution has incorrect cost\n", OutputStream::Err, 1);
  bestCost_ = cost_;
  stats_.RecordNewBest(Wide{bestCost_}, byAspiration);
  bestPerm_ = perm_;
}

template <typename Cost>
void QAPSearch<Cost>::WriteMonitorLine() {
  if (!monitorOpen_) return;
  const unsigned period = parameters_.monitorPeriod == 0 ? 1 : parameters_.monitorPeriod;
  if (stats_.Repairs() % period != 0) return;
  monitor_ << stats_.Repairs() << "\t" << Wide{bestCost_} << "\t" << static_cast<UnsignedCost>(cost_) << "\t"
           << static_cast<double>(augCost_) / static_cast<double>(costScale_) << "\t";
  stats_.WriteRow(monitor_);
  monitor_ << "\n";
  monitor_.flush();
  NoteMonitorFailure();
}

template class QAPSearch<std::int32_t>;
template class QAPSearch<std::int64_t>;

}  // namespace mirelock
