#include "solver/factory/SolverFactory.h"

namespace mirelock {

std::unique_ptr<Solver> CreateSolver(ProblemType type) {
  switch (type) {
    case kProblemSAT:
      return nullptr;  // SAT solver registers here
    case kProblemMaxSAT:
      return nullptr;  // weighted SAT solver registers here
    case kProblemQAP:
      return nullptr;  // QAP solver registers here
    case kProblemTSP:
      return nullptr;  // TSP solver registers here
  }
  return nullptr;
}

}  // namespace mirelock
