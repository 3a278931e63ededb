#include "experiments/CExperiment.h"
#include "platform/Clock.h"
#include "solver/SolverParameters.h"

namespace mirelock {

// The order of the calls is fixed: the first setting a solver rejects ends the
// run, so the message the user sees depends on it.
void ApplyExperiment(SolverParameters& parameters, const CExperiment& experiment,
                     const RunSettings& settings) {
  if (experiment.m_bMaxRepairsTimesN) {
    parameters.SetMaxRepairsPerN(experiment.m_nMaxRepairs);
  } else {
    parameters.SetMaxRepairs(experiment.m_nMaxRepairs);
  }
  parameters.SetNumRuns(experiment.m_nNumRuns);
  parameters.SetLambda(experiment.m_dLambda);
  parameters.SetRandomMoves(experiment.m_dRandomMoveProb);
  parameters.SetAspiration(experiment.m_bAspiration);
  if (settings.monitorRun) parameters.SetMonitor(settings.monitorFile, settings.monitorEvery);
  parameters.SetHistory(experiment.m_bHistory);
  if (experiment.m_nPenaltyDecayEvery > 0) {
    parameters.SetPenaltyDecay(experiment.m_nPenaltyDecayEvery, experiment.m_dPenaltyDecayFactor);
  }
  parameters.SetSidewaysMoves(static_cast<int>(experiment.m_nSideways));
  // Only an experiment that asks for it makes the call, so that solvers
  // without the setting see the same calls as ever.
  if (experiment.m_nNeighbours != 0) parameters.SetNeighbourhood(experiment.m_nNeighbours);
  switch (settings.seedMode) {
    case kSeedFromTime:
      parameters.SetSeed(TimeSeed());  // taken once; the solver multiplies by the run number
      break;
    case kSeedFixed:
      parameters.SetSeed(settings.fixedSeed);
      break;
    case kSeedNone:
      parameters.SetSeed(0xFFFFFFFFu);
      break;
    default:
      break;  // an unknown mode leaves the solver's own seed
  }
}

}  // namespace mirelock
