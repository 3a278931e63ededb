#include "solver/SolverParameters.h"

namespace mirelock {

void SolverParameters::SetAspiration(bool on) {
  if (on) throw UnsupportedFeature("Aspiration");
}

void SolverParameters::SetRandomMoves(double probability) {
  if (probability != 0.0) throw UnsupportedFeature("Random moves");
}

void SolverParameters::SetHistory(bool on) {
  if (on) throw UnsupportedFeature("History");
}

void SolverParameters::SetSidewaysMoves(int maxConsecutive) {
  if (maxConsecutive != 0) throw UnsupportedFeature("Sideways moves");
}

void SolverParameters::SetPenaltyDecay(unsigned period, double /*factor*/) {
  if (period != 0) throw UnsupportedFeature("Penalty Decay");
}

void SolverParameters::SetLambda(double lambda) {
  if (lambda != 0.0) throw UnsupportedFeature("Lambda");
}

void SolverParameters::SetMonitor(const std::string& /*fileName*/, unsigned /*period*/) {
  throw UnsupportedFeature("Monitor run");
}

void SolverParameters::SetNeighbourhood(unsigned neighbours) {
  if (neighbours != 0) throw UnsupportedFeature("Fast local search");
}

}  // namespace mirelock
