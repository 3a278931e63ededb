#pragma once
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

#include "solver/SolverParameters.h"

namespace mirelock {

// The TSP solver's settings. Every optional feature but history is offered, so
// only SetHistory keeps the refusing base behaviour. A per-city repair limit is
// turned into an absolute one by SetProblemSize at the first run.
class TSPParameters : public SolverParameters {
 public:
  static constexpr std::uint32_t kNoLimit = std::numeric_limits<std::uint32_t>::max();
  static constexpr std::int32_t kNoTarget = std::numeric_limits<std::int32_t>::min();
  static constexpr std::int32_t kDoNotSeed = -1;

  unsigned GetNumRuns() override { return numRuns_; }
  void SetAspiration(bool on) override { aspiration_ = on; }
  void SetRandomMoves(double probability) override { randomMoveProbability_ = probability; }
  void SetSidewaysMoves(int maxConsecutive) override {
    maxConsecutiveSideways_ = static_cast<std::uint32_t>(maxConsecutive);
  }
  void SetPenaltyDecay(unsigned period, double factor) override;
  void SetLambda(double lambda) override { lambdaCoefficient_ = lambda; }
  void SetNumRuns(unsigned runs) override { numRuns_ = runs; }
  void SetMaxRepairsPerN(unsigned factor) override;
  void SetMaxRepairs(unsigned repairs) override;
  void SetSeed(unsigned seed) override { seed_ = static_cast<std::int32_t>(seed); }
  void SetMonitor(const std::string& fileName, unsigned period) override;
  std::ostream& WriteOptions(std::ostream& out) override;
  void SetNeighbourhood(unsigned neighbours) override { neighbours_ = neighbours; }

  // Called at the start of every run; converts a pending per-city limit once.
  void SetProblemSize(std::int32_t size);

  bool Aspiration() const { return aspiration_; }
  std::uint32_t MaxConsecutiveSideways() const { return maxConsecutiveSideways_; }
  std::int32_t MonitorFrequency() const { return monitorFrequency_; }
  std::int32_t Seed() const { return seed_; }
  std::uint32_t RepairsPerCity() const { return repairsPerCity_; }
  bool CheapStatsOnly() const { return cheapStatsOnly_; }
  double RandomMoveProbability() const { return randomMoveProbability_; }
  double RandomEscapeMoveProbability() const { return randomEscapeMoveProbability_; }
  std::uint32_t ForgetAfter() const { return forgetAfter_; }
  double ForgetCoefficient() const { return forgetCoefficient_; }
  bool Forget() const { return forget_; }
  std::int32_t ProblemSize() const { return problemSize_; }
  bool PerCityLimitPending() const { return perCityLimitPending_; }
  double LambdaCoefficient() const { return lambdaCoefficient_; }
  std::uint32_t MaxSeconds() const { return maxSeconds_; }
  std::uint32_t MaxRepairs() const { return maxRepairs_; }
  const std::string& MonitorFileName() const { return monitorFileName_; }
  std::int32_t TargetCost() const { return targetCost_; }
  // 0: the full 2-opt neighbourhood; K: fast local search over K nearest neighbours.
  std::uint32_t Neighbours() const { return neighbours_; }

  // Settings that experiments cannot reach; exposed for programs and tests.
  void SetTargetCost(std::int32_t cost) { targetCost_ = cost; }
  void SetMaxSeconds(std::uint32_t seconds) { maxSeconds_ = seconds; }
  void SetRandomEscapeMoveProbability(double probability) { randomEscapeMoveProbability_ = probability; }

 private:
  bool aspiration_ = true;
  std::uint32_t maxConsecutiveSideways_ = 0;
  std::int32_t monitorFrequency_ = 1;
  std::int32_t seed_ = 7;
  std::uint32_t repairsPerCity_ = kNoLimit;
  bool cheapStatsOnly_ = true;
  double randomMoveProbability_ = 0.0;
  double randomEscapeMoveProbability_ = 0.0;
  std::uint32_t forgetAfter_ = 200;
  double forgetCoefficient_ = 0.8;
  bool forget_ = false;
  std::uint32_t numRuns_ = 1;
  std::int32_t problemSize_ = -1;
  bool perCityLimitPending_ = false;
  double lambdaCoefficient_ = 1.0;
  std::uint32_t maxSeconds_ = kNoLimit;
  std::uint32_t maxRepairs_ = kNoLimit;
  std::string monitorFileName_;
  std::int32_t targetCost_ = kNoTarget;
  std::uint32_t neighbours_ = 0;
};

}  // namespace mirelock
