#include "sat/GLSSATParameters.h"

#include "platform/NumberFormat.h"

namespace mirelock {
namespace {

// Keyword tables indexed by the setting's code.
constexpr const char* kPickKeywords[] = {"+pickrandom ", "+pickclause ", "+pickrecency ", "+pickbest ",
                                         "+pickwsat "};
constexpr const char* kPenaliseKeywords[] = {"+penaliseall ", "+penaliseselective "};
constexpr const char* kUtilityKeywords[] = {"+recencyutil ", "+amountcostutil "};
constexpr const char* kForgettingKeywords[] = {"+forgetwhenmaxpenalty ", "+forgetwhenaveragepenalty ",
                                               "+forgetafterNlocalminima ", "+forgetafterNpenalisation "};

template <std::size_t N>
const char* Keyword(const char* const (&table)[N], std::int32_t code) {
  return code >= 0 && static_cast<std::size_t>(code) < N ? table[code] : "";
}

// Writes a number after its keyword, followed by one blank. Integers and
// doubles both go through the default number format, independent of the
// stream's own settings.
void Item(std::ostream& out, const char* keyword, double value) {
  out << keyword << FormatNumber(value) << ' ';
}

}  // namespace

void GLSSATParameters::SetPenaltyDecay(unsigned period, double factor) {
  forgetting = true;
  forgetDecay = true;
  forgettingMode = ForgettingMode::kAfterNLocalMinima;
  forgettingPeriod = static_cast<std::int32_t>(period);
  forgetDecayFactor = factor;
}

void GLSSATParameters::SetMaxRepairsPerN(unsigned factor) {
  maxRepairs = static_cast<std::int32_t>(factor);
  maxRepairsPerVariable = true;
}

void GLSSATParameters::SetMaxRepairs(unsigned repairs) {
  maxRepairs = static_cast<std::int32_t>(repairs);
  maxRepairsPerVariable = false;
}

void GLSSATParameters::SetMonitor(const std::string& fileName, unsigned period) {
  monitorFileName = fileName;
  if (period > 0) monitorInterval = static_cast<std::int32_t>(period);
}

std::ostream& GLSSATParameters::WriteOptions(std::ostream& out) {
  auto integer = [&out](const char* keyword, long long value) {
    out << keyword << std::to_string(value) << ' ';
  };
  if (originStart) {
    out << "+originstart ";
  } else if (seedFromTime) {
    out << "+seedtime ";
  } else {
    integer("+seed ", seed);
  }
  out << Keyword(kPickKeywords, static_cast<std::int32_t>(pickHeuristic));
  if (tabuList) {
    out << "+tabulist ";
    if (tabuLength != kUnset) integer("+tabulen ", tabuLength);
    if (tabuFreedom != 0) integer("+tabufreedom ", tabuFreedom);
  }
  if (restartMode == 0) out << "+randomrestarts ";
  if (maxFlips != kUnset) integer("+maxflips ", maxFlips);
  if (maxSeconds != kUnset) integer("+maxsecs ", maxSeconds);
  if (maxRepairs != kUnset) integer(maxRepairsPerVariable ? "+maxnrepairs " : "+maxrepairs ", maxRepairs);
  if (targetCost > 0) integer("+targetcost ", targetCost);
  integer("+numruns ", numRuns);
  if (gls) {
    out << "+GLS ";
    Item(out, "+lambda ", lambda);
    integer("+repairsbeforepenalise ", repairsBeforePenalise);
    if (superAspiration) integer("+superaspiration ", superAspirationValue);
    if (aspiration) out << "+aspiration ";
    out << (noUpwardMoves ? "-upwards " : "+upwards ");
    out << Keyword(kPenaliseKeywords, static_cast<std::int32_t>(penaliseMode));
    out << Keyword(kUtilityKeywords, static_cast<std::int32_t>(utility));
    if (smartPenalise) out << "+smartpenalise ";
    if (forgetting) {
      out << "+forgetting ";
      integer(Keyword(kForgettingKeywords, static_cast<std::int32_t>(forgettingMode)), forgettingPeriod);
      if (forgetDecrement) out << "+forgetdec ";
      if (forgetDecay) Item(out, "+forgetdecay ", forgetDecayFactor);
      if (forgetReset) out << "+forgetreset ";
      if (forgetQueue) out << "+forgetqueue ";
    }
    if (trapAvoidance) out << "+trapavoidance ";
  }
  const std::pair<const char*, double> probabilities[] = {
      {"+Prandmove ", randomMoveProbability},
      {"+Prandwalk ", randomWalkProbability},
      {"+Prandpenaltywalk ", randomPenaltyWalkProbability},
      {"+Pignorepenalties ", ignorePenaltiesProbability}};
  for (const auto& [keyword, probability] : probabilities)
    if (probability != 0.0) Item(out, keyword, probability);
  if (useWeightsInObjective) out << " +useweightsinobjective ";
  if (clauseWeightCategories > 0) integer(" +useclauseweightcategories ", clauseWeightCategories);
  out << (cheapStatisticsOnly ? "+cheapstatsonly " : "-cheapstatsonly ");
  out << (keepRunning ? "+keeprunning " : "-keeprunning ");
  return out;
}

}  // namespace mirelock
