#pragma once
#include <optional>
#include <string>

namespace mirelock {

// The process's working directory, without a trailing "/"; none when it
// cannot be determined.
std::optional<std::string> WorkingDirectory();

// The problems directory of a new document, ending with "/": the bundled QAP
// examples of the program when it has them, else `workingDirectory` + "/problems/".
//   - installed as <prefix>/bin/mirelock: <prefix>/share/mirelock/examples/qap/
//   - run from the build tree it was built in: the source tree's examples/qap/
std::string DefaultProblemsDirectory(const std::string& workingDirectory);

// A directory path with exactly one trailing "/" (the root stays "/").
std::string WithTrailingSlash(std::string directory);

}  // namespace mirelock
