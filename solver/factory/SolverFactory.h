#pragma once
#include <memory>

#include "solver/ProblemType.h"
#include "solver/Solver.h"

namespace mirelock {

// A fresh solver for a problem type, with its companions at their defaults;
// MAX-SAT gets the SAT solver switched to weighted clauses. Null for a code
// outside the known types.
std::unique_ptr<Solver> CreateSolver(ProblemType type);

}  // namespace mirelock
