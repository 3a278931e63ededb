#pragma once
#include <string>
#include <vector>

#include "platform/FilePaths.h"
#include "solver/ProblemType.h"

namespace mirelock {

inline constexpr const char* kNoProblemsMessage =
    "Please make sure the problems directory contains some problems of the current type";

// The problem files of a type in a directory: bare file names, sorted by name
// so that the natural sequence is the same on every machine. The extension
// matches without regard to case (a.CNF is a SAT problem). A directory that
// does not exist or cannot be listed holds no problems.
std::vector<std::string> DiscoverProblems(const std::string& problemsDirectory, ProblemType type);

}  // namespace mirelock
