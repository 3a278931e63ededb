#pragma once
#include <string>

namespace mirelock::test {

struct CommandResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the mirelock program with `arguments` (already quoted for the shell) in
// `directory`, capturing both output streams, under a time limit so that a
// hang fails the test instead of stalling it.
CommandResult RunMirelock(const std::string& directory, const std::string& arguments);

}  // namespace mirelock::test
