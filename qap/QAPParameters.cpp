#include "qap/QAPParameters.h"

#include <ostream>

namespace mirelock {

namespace {

constexpr const char* kPickNames[] = {"Best",
                                      "Hist",
                                      "HistBest",
                                      "HistGlob",
                                      "Rand",
                                      "HistBreakBest",
                                      "HistAspirationBreakBest",
                                      "BestBreakHist",
                                      "BestAspirationBreakHist",
                                      "BestAspiration",
                                      "HistAspiration",
                                      "RandAspiration",
                                      "BestOrigAspiration",
                                      "BestOrig"};

constexpr const char* kLambdaInitNames[] = {"costweight",
                                            "objective",
                                            "avefeaturecost",
                                            "avedelta",
                                            "meandepth",
                                            "mediandepth",
                                            "depth",
                                            "adaptive",
                                            "diversify",
                                            "randomize",
                                            "varysine",
                                            "varydampedavoidbad",
                                            "varyavoidbad",
                                            "varyavoidrepeat",
                                            "varyavoidbadrepeat",
                                            "varyavoidrevisit",
                                            "avoidrevisit"};

template <std::size_t N>
const char* NameOf(const char* const (&names)[N], int index, const char* unknown) {
  return (index >= 0 && static_cast<std::size_t>(index) < N) ? names[index] : unknown;
}

}  // namespace

const char* QAPParameters::PickName(int pick) { return NameOf(kPickNames, pick, "UNKNOWN_PICK_HEURISTIC "); }

const char* QAPParameters::LambdaInitName(int init) {
  return NameOf(kLambdaInitNames, init, "UNKNOWN_LAMBDA_INITIALISATION ");
}

void QAPParameters::SetAspiration(bool on) {
  if (pickType == kPickHist || pickType == kPickHistAspiration) {
    pickType = on ? kPickHistAspiration : kPickHist;
  } else {
    pickType = on ? kPickBestAspiration : kPickBest;
  }
}

void QAPParameters::SetHistory(bool on) {
  const bool aspiration = pickType == kPickBestAspiration || pickType == kPickHistAspiration;
  if (on) {
    pickType = aspiration ? kPickHistAspiration : kPickHist;
  } else {
    pickType = aspiration ? kPickBestAspiration : kPickBest;
  }
}

void QAPParameters::SetPenaltyDecay(unsigned period, double factor) {
  decayAfter = period;
  decayFactor = factor;
  decayOn = true;
}

void QAPParameters::SetMaxRepairsPerN(unsigned factor) {
  maxRepairsFactor = factor;
  maxRepairsPerN = true;
}

void QAPParameters::SetMaxRepairs(unsigned repairs) {
  maxRepairs = repairs;
  maxRepairsPerN = false;
}

void QAPParameters::SetMonitor(const std::string& fileName, unsigned period) {
  monitorFileName = fileName;
  monitorPeriod = period;
}

void QAPParameters::SetProblemSize(unsigned n) {
  problemSize = n;
  if (maxRepairsPerN) {
    maxRepairs = maxRepairsFactor * n;
    maxRepairsPerN = false;
  }
  if (maxTotalRepairsPerN) {
    maxTotalRepairs = maxTotalRepairs * n;
    maxTotalRepairsPerN = false;
  }
  if (maxRepairs == kUnset) maxRepairs = 4000 * n;
}

std::ostream& QAPParameters::WriteOptions(std::ostream& out) {
  if (!outputFileName.empty()) out << "-f " << outputFileName << " ";
  if (!entropyFileName.empty())
    out << "-writeentropytofile " << entropyFileName << " " << entropyPeriod << " ";
  if (!penaltyFileName.empty())
    out << "-writepenaltystatstofile " << penaltyFileName << " " << penaltyPeriod << " ";
  if (maxRepairsFactor != kUnset) {
    out << "-maxnrepairs " << maxRepairsFactor << " ";
  } else if (maxRepairs != kUnset) {
    out << "-maxrepairs " << maxRepairs << " ";
  }
  if (maxTotalRepairsPerN) {
    // problemSize is unset until the first run; report the stored value then.
    out << "-maxntotalrepairs "
        << (problemSize != 0 && problemSize != kUnset ? maxTotalRepairs / problemSize : maxTotalRepairs)
        << " ";
  } else if (maxTotalRepairs != kUnset) {
    out << "-maxtotalrepairs " << maxTotalRepairs << " ";
  }
  if (maxSecs != kUnset) out << "-maxsecs " << maxSecs << " ";
  if (glsOn) {
    if (smartUtil) out << "-GLSSmartUtil ";
    if (lpmxc) out << "-GLSLPMXC ";
    if (labelFeatures) out << "+labelfeatures ";
    if (binaryLabelFeatures) out << "+binarylabelfeatures ";
    if (weightFeatures) out << "-weightfeatures ";
    out << "-lambdacoeff " << lambdaCoeff << " "
        << "-maxlambdacoeff " << maxLambdaCoeff << " "
        << "-lambda " << LambdaInitName(lambdaInit);
    // A known name is followed by its blank; the unknown-name text carries its own.
    if (lambdaInit >= 0 && lambdaInit <= 16) out << " ";
    if (hybridFeatures) out << "-hybridfeatures ";
    if (tabuFeatures)
      out << "-tabufeatures "
          << "-tabufeaturecoeff " << tabuFeatureCoeff << " ";
    if (decayOn)
      out << "-forget "
          << "-forgetcoeff " << decayFactor << " "
          << "-forgetafter " << decayAfter << " ";
    if (pIgnorePenalties > 0) out << "-Pignorepenalties " << pIgnorePenalties << " ";
  } else {
    out << "-noGLS ";
  }
  if (pRandomMove > 0) out << "-Prandommove " << pRandomMove << " ";
  if (pRandomWalkMove > 0) out << "-Prandomwalkmove " << pRandomWalkMove << " ";
  if (useMoveLists) out << "-usemovelists ";
  if (tabu) {
    switch (tabuType) {
      case kTabuPlain:
        out << "-tabu " << tabuTenure << " ";
        break;
      case kTabuReactive:
        out << "-reactivetabu ";
        break;
      case kTabuRobust:
        out << "-robusttabu " << robustTabuA << " " << robustTabuB << " ";
        break;
      default:
        break;
    }
  } else {
    out << "-pick " << PickName(pickType);
    if (pickType >= 0 && pickType <= 13) out << " ";
  }
  out << "+maxconsecsideways " << maxConsecSideways << " ";
  if (cheapStatsOnly) out << "+cheapstatsonly ";
  return out;
}

}  // namespace mirelock
