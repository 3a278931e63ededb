#pragma once
#include <functional>
#include <memory>

#include "solver/ProblemType.h"
#include "solver/Solver.h"

namespace mirelock {

// How a worker's Run ended.
enum class RunOutcome {
  kRunning,   // not ended yet
  kFinished,  // every pair done (or nothing to do)
  kStopped,   // ended by a stop request, finished lines kept
  kError,     // ended by an error message (unsupported setting, unwritable results, ...)
  kFatal,     // ended by a reader's or solver's fatal error
};

// Builds a fresh solver for a problem type; null when the type has no solver.
using SolverFactoryFn = std::function<std::unique_ptr<Solver>(ProblemType)>;

}  // namespace mirelock
