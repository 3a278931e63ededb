#pragma once
#include <cstdint>
#include <ostream>
#include <string>

#include "solver/SolverParameters.h"

namespace mirelock {

// Codes of the choice-valued settings.
enum class PickHeuristic : std::int32_t { kRandom = 0, kClause = 1, kRecency = 2, kBest = 3, kWalkSAT = 4 };
enum class PenaliseMode : std::int32_t { kAll = 0, kSelective = 1 };
enum class UtilityMode : std::int32_t { kRecency = 0, kAmountCost = 1 };
enum class ForgettingMode : std::int32_t {
  kWhenMaxPenalty = 0,
  kWhenAveragePenalty = 1,
  kAfterNLocalMinima = 2,
  kAfterNPenalisations = 3
};

// Every setting of the GLSSAT search. The common setters reach a few of them;
// the rest keep their defaults but still appear in the option text, which is
// the record of how a run was configured.
class GLSSATParameters : public SolverParameters {
 public:
  static constexpr std::int32_t kUnset = -1;
  // The seed value that means "leave the generator alone".
  static constexpr std::uint32_t kDoNotSeed = 0xffffffffu;

  unsigned GetNumRuns() override { return static_cast<unsigned>(numRuns); }
  void SetAspiration(bool on) override { aspiration = on; }
  void SetRandomMoves(double probability) override { randomMoveProbability = probability; }
  void SetHistory(bool on) override { pickHeuristic = on ? PickHeuristic::kRecency : PickHeuristic::kBest; }
  void SetSidewaysMoves(int maxConsecutive) override { repairsBeforePenalise = maxConsecutive; }
  void SetPenaltyDecay(unsigned period, double factor) override;
  void SetLambda(double value) override { lambda = value; }
  void SetNumRuns(unsigned runs) override { numRuns = static_cast<std::int32_t>(runs); }
  void SetMaxRepairsPerN(unsigned factor) override;
  void SetMaxRepairs(unsigned repairs) override;
  void SetSeed(unsigned value) override { seed = value; }
  // A period of 0 keeps the current interval (1 by default).
  void SetMonitor(const std::string& fileName, unsigned period) override;
  std::ostream& WriteOptions(std::ostream& out) override;

  std::uint32_t clauseWeightCategories = 0;
  std::int32_t monitorInterval = 1;
  std::uint32_t targetCost = 0;
  bool useWeightsInObjective = false;
  std::int32_t numRuns = 20;
  double randomPenaltyWalkProbability = 0.0;
  bool maxRepairsPerVariable = false;
  double ignorePenaltiesProbability = 0.0;
  bool superAspiration = false;
  std::int32_t superAspirationValue = 0;
  bool keepRunning = false;
  bool cheapStatisticsOnly = true;
  std::string monitorFileName;
  bool aspiration = false;
  double forgetDecayFactor = 0.8;
  std::int32_t maxRepairs = 10000;
  bool originStart = false;
  std::uint32_t seed = 101;
  bool seedFromTime = false;
  PickHeuristic pickHeuristic = PickHeuristic::kRecency;
  bool tabuList = false;
  std::int32_t tabuLength = kUnset;
  std::int32_t tabuFreedom = 3;
  std::int32_t restartMode = 0;
  std::int32_t maxFlips = kUnset;
  std::int32_t maxSeconds = kUnset;
  bool gls = true;
  double lambda = 1.0;
  std::int32_t repairsBeforePenalise = 2;
  bool noUpwardMoves = true;
  PenaliseMode penaliseMode = PenaliseMode::kSelective;
  UtilityMode utility = UtilityMode::kAmountCost;
  bool smartPenalise = false;
  bool forgetting = false;
  ForgettingMode forgettingMode = ForgettingMode::kAfterNLocalMinima;
  std::int32_t forgettingPeriod = 200;
  bool forgetReset = false;
  bool forgetDecrement = false;
  bool forgetDecay = true;
  bool forgetQueue = false;
  bool trapAvoidance = false;
  double randomMoveProbability = 0.0;
  double randomWalkProbability = 0.0;
};

}  // namespace mirelock
