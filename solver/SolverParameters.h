#pragma once
#include <ostream>
#include <stdexcept>
#include <string>

namespace mirelock {

// Thrown by a setter when the experiment asks for a feature that the solver
// does not have; what() is the feature's name ("Aspiration", "History", ...).
class UnsupportedFeature : public std::runtime_error {
 public:
  explicit UnsupportedFeature(const std::string& feature) : std::runtime_error(feature) {}
};

// The settings an experiment hands to a solver. The defaults of the optional
// features refuse a request for the feature and accept a request without it.
// The declaration order of the virtual operations is the interface's slot order.
class SolverParameters {
 public:
  virtual ~SolverParameters() = default;
  virtual unsigned GetNumRuns() = 0;
  virtual void SetAspiration(bool on);
  virtual void SetRandomMoves(double probability);
  virtual void SetHistory(bool on);
  virtual void SetSidewaysMoves(int maxConsecutive);
  virtual void SetPenaltyDecay(unsigned period, double factor);
  virtual void SetLambda(double lambda);
  virtual void SetNumRuns(unsigned runs) = 0;
  virtual void SetMaxRepairsPerN(unsigned factor) = 0;
  virtual void SetMaxRepairs(unsigned repairs) = 0;
  virtual void SetSeed(unsigned seed) = 0;
  virtual void SetMonitor(const std::string& fileName, unsigned period);
  virtual std::ostream& WriteOptions(std::ostream& out) = 0;
  // Fast local search over each city's `neighbours` nearest cities instead of
  // the full neighbourhood; 0 asks for the full neighbourhood, which every
  // solver has. Added after the fixed slots, so the order above is unchanged.
  virtual void SetNeighbourhood(unsigned neighbours);
};

}  // namespace mirelock
