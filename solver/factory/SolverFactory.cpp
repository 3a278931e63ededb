#include "solver/factory/SolverFactory.h"

#include "sat/GLSSATSolver.h"

#include "tsp/TSPSolver.h"

#include "qap/QAPSolver.h"

namespace mirelock {

std::unique_ptr<Solver> CreateSolver(ProblemType type) {
  switch (type) {
    case kProblemSAT:
      return std::make_unique<GLSSATSolver>();
    case kProblemMaxSAT: {
      auto solver = std::make_unique<GLSSATSolver>();
      solver->SetWeighted(true);
      return solver;
    }
    case kProblemQAP:
      return std::make_unique<QAPSolver>();
    case kProblemTSP:
      return std::make_unique<TSPSolver>();
  }
  return nullptr;
}

}  // namespace mirelock
