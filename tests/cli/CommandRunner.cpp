#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "BatchFiles.h"

namespace mirelock::test {

CommandResult RunMirelock(const std::string& directory, const std::string& arguments) {
  const std::string out = directory + "/.stdout", err = directory + "/.stderr";
  const std::string command = "cd '" + directory + "' && timeout 300 '" MIRELOCK_BINARY "' " + arguments + " >'" +
                              out + "' 2>'" + err + "'";
  const int raw = std::system(command.c_str());
  CommandResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  EXPECT_NE(result.status, 124) << "timed out: mirelock " << arguments;
  result.out = ReadText(out);
  result.err = ReadText(err);
  return result;
}

}  // namespace mirelock::test
