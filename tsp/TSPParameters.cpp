#include "tsp/TSPParameters.h"

namespace mirelock {

void TSPParameters::SetPenaltyDecay(unsigned period, double factor) {
  forget_ = true;
  forgetAfter_ = period;
  forgetCoefficient_ = factor;
}

void TSPParameters::SetMaxRepairsPerN(unsigned factor) {
  repairsPerCity_ = factor;
  perCityLimitPending_ = true;
}

void TSPParameters::SetMaxRepairs(unsigned repairs) {
  maxRepairs_ = repairs;
  perCityLimitPending_ = false;
}

// The TSP solver writes no monitor file; the settings are only kept.
void TSPParameters::SetMonitor(const std::string& fileName, unsigned period) {
  monitorFileName_ = fileName;
  monitorFrequency_ = static_cast<std::int32_t>(period);
}

void TSPParameters::SetProblemSize(std::int32_t size) {
  problemSize_ = size;
  if (perCityLimitPending_) {
    maxRepairs_ = repairsPerCity_ * static_cast<std::uint32_t>(size);  // 32-bit product
    perCityLimitPending_ = false;
  }
}

std::ostream& TSPParameters::WriteOptions(std::ostream& out) {
  if (perCityLimitPending_) {
    out << "-maxnrepairs " << repairsPerCity_ << ' ';
  } else if (maxRepairs_ != kNoLimit) {
    out << "-maxrepairs " << maxRepairs_ << ' ';
  }
  if (targetCost_ != kNoTarget) out << "-targetcost " << targetCost_ << ' ';
  if (maxSeconds_ != kNoLimit) out << "-maxsecs " << maxSeconds_ << ' ';
  if (numRuns_ != 1) out << "-numruns " << numRuns_ << ' ';
  out << "-lambdacoeff " << lambdaCoefficient_ << ' ';
  if (forget_)
    out << "-forget -forgetcoeff " << forgetCoefficient_ << " -forgetafter " << forgetAfter_ << ' ';
  if (randomMoveProbability_ > 0) out << "-Prandommove " << randomMoveProbability_ << ' ';
  if (randomEscapeMoveProbability_ > 0) out << "-Prandomescapemove " << randomEscapeMoveProbability_ << ' ';
  if (neighbours_ != 0) out << "-fastls -neighbours " << neighbours_ << ' ';
  out << "+maxconsecsideways " << maxConsecutiveSideways_ << ' ';
  if (cheapStatsOnly_) out << "+cheapstatsonly ";
  if (aspiration_) out << "+aspiration";
  return out;
}

}  // namespace mirelock
