#pragma once
#include <string>

#include "solver/SolverParameters.h"

namespace mirelock {

// Every setting of the QAP search with its default. Fields without a setter
// keep their default; the option text still reports them.
class QAPParameters : public SolverParameters {
 public:
  static constexpr unsigned kUnset = static_cast<unsigned>(-1);

  // Pick heuristics by number.
  static constexpr int kPickBest = 0;
  static constexpr int kPickHist = 1;
  static constexpr int kPickRand = 4;
  static constexpr int kPickBestAspiration = 9;
  static constexpr int kPickHistAspiration = 10;

  static constexpr int kTabuReactive = 0, kTabuRobust = 1, kTabuPlain = 2, kTabuNone = 3;

  unsigned GetNumRuns() override { return numRuns; }
  void SetAspiration(bool on) override;
  void SetRandomMoves(double probability) override { pRandomMove = probability; }
  void SetHistory(bool on) override;
  void SetSidewaysMoves(int maxConsecutive) override {
    maxConsecSideways = static_cast<unsigned>(maxConsecutive);
  }
  void SetPenaltyDecay(unsigned period, double factor) override;
  void SetLambda(double lambda) override { lambdaCoeff = lambda; }
  void SetNumRuns(unsigned runs) override { numRuns = runs; }
  void SetMaxRepairsPerN(unsigned factor) override;
  void SetMaxRepairs(unsigned repairs) override;
  void SetSeed(unsigned value) override { seed = value; }
  void SetMonitor(const std::string& fileName, unsigned period) override;
  std::ostream& WriteOptions(std::ostream& out) override;

  // Resolves the repair limits once the problem size is known (every run).
  void SetProblemSize(unsigned n);

  static const char* PickName(int pick);
  static const char* LambdaInitName(int init);
  bool IsAspirationPick() const { return pickType >= 9 && pickType <= 12; }

  // Declaration order is the order of the settings table.
  unsigned maxConsecSideways = 2;
  unsigned monitorPeriod = 1;
  unsigned seed = 7;
  unsigned maxRepairsFactor = kUnset;
  double robustTabuB = 3.5, robustTabuA = 1.0;
  bool cheapStatsOnly = false;
  bool labelFeatures = true;
  bool smartUtil = false;
  bool lpmxc = false;
  double pRandomWalkMove = 0;
  double pRandomMove = 0;
  double pIgnorePenalties = 0;
  double tabuFeatureCoeff = 1.0;
  bool tabuFeatures = false;
  bool hybridFeatures = false;
  bool binaryLabelFeatures = false;
  int tabuType = kTabuNone;
  bool useMoveLists = true;
  bool tabu = false;
  unsigned tabuTenure = 50;
  unsigned decayAfter = 200;
  double decayFactor = 0.8;
  bool decayOn = false;
  bool maxTotalRepairsPerN = false;
  bool verbose = false;
  unsigned numRuns = 1;
  unsigned problemSize = kUnset;
  bool maxRepairsPerN = false;
  bool glsOn = true;
  bool weightFeatures = false;
  int pickType = kPickBestAspiration;
  int lambdaInit = 2;
  double lambdaCoeff = 1.0;
  double maxLambdaCoeff = 100.0;
  unsigned maxSecs = kUnset;
  unsigned maxRepairs = kUnset;
  std::string outputFileName;
  std::string monitorFileName;
  std::string entropyFileName;
  unsigned entropyPeriod = 0;
  std::string penaltyFileName;
  unsigned penaltyPeriod = 0;
  unsigned maxTotalRepairs = kUnset;
};

}  // namespace mirelock
