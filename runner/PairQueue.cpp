#include "runner/PairQueue.h"

#include "platform/Random.h"

namespace mirelock {

namespace {

// The state every thread's generator starts with.
constexpr std::uint32_t kFreshGeneratorState = 1;

}  // namespace

PairQueue::PairQueue(std::vector<std::string> problems, std::size_t experimentCount,
                     const BatchPartition& partition)
    : orderingState_(kFreshGeneratorState) {
  problems_.resize(problems.size());
  for (std::size_t p = 0; p < problems.size(); ++p) {
    Problem& problem = problems_[p];
    problem.name = std::move(problems[p]);
    for (std::size_t e = 0; e < experimentCount; ++e)
      if (partition.OwnsPair(p * experimentCount + e)) problem.experiments.push_back(e);
    problem.outstanding = problem.experiments.size();
    pairCount_ += problem.experiments.size();
    if (!problem.experiments.empty()) ++problemCount_;
    notTaken_.push_back(p);
  }
}

std::size_t PairQueue::DrawIndex(std::size_t count) {
  // The generator is per thread and the caller's belongs to its solvers:
  // borrow it for one draw and give it back untouched.
  const std::uint32_t callerState = GetRandomState();
  SetRandomState(orderingState_);
  const int r = Random();
  orderingState_ = GetRandomState();
  SetRandomState(callerState);
  return static_cast<std::size_t>(r) % count;
}

std::optional<PairTicket> PairQueue::Next(bool randomOrder) {
  std::lock_guard<std::mutex> lock(mutex_);
  bool starts = false;
  while (!current_ || nextExperiment_ >= problems_[*current_].experiments.size()) {
    if (notTaken_.empty()) return std::nullopt;
    const std::size_t index = randomOrder ? DrawIndex(notTaken_.size()) : 0;
    current_ = notTaken_[index];
    notTaken_.erase(notTaken_.begin() + static_cast<std::ptrdiff_t>(index));
    nextExperiment_ = 0;
    starts = true;
  }
  const Problem& problem = problems_[*current_];
  PairTicket ticket;
  ticket.problemSlot = *current_;
  ticket.problem = problem.name;
  ticket.experiment = problem.experiments[nextExperiment_++];
  ticket.startsProblem = starts;
  return ticket;
}

bool PairQueue::Done(const PairTicket& ticket) {
  std::lock_guard<std::mutex> lock(mutex_);
  Problem& problem = problems_[ticket.problemSlot];
  return --problem.outstanding == 0;
}

}  // namespace mirelock
