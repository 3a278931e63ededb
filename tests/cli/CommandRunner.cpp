#include "CommandRunner.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace mirelock::test {

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

CommandResult RunMirelock(const std::string& directory, const std::string& arguments) {
  const std::string out = directory + "/.stdout", err = directory + "/.stderr";
  const std::string command = "cd '" + directory + "' && timeout 300 '" MIRELOCK_BINARY "' " + arguments + " >'" +
                              out + "' 2>'" + err + "'";
  const int raw = std::system(command.c_str());
  CommandResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  EXPECT_NE(result.status, 124) << "timed out: mirelock " << arguments;
  result.out = ReadAll(out);
  result.err = ReadAll(err);
  return result;
}

}  // namespace mirelock::test
