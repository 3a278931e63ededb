#pragma once
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <string>

namespace mirelock::test {

// What a shell command printed (both streams) and its exit status.
struct ShellOutput {
  int status = -1;
  std::string out;
};

inline ShellOutput RunShell(const std::string& command) {
  ShellOutput result;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.out.append(buffer, n);
  const int raw = ::pclose(pipe);
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return result;
}

// Empty when R and irace can be run, else why not.
inline std::string IraceMissingReason() {
  static const std::string reason = [] {
    const ShellOutput r = RunShell("Rscript --vanilla -e \"cat(as.character(packageVersion('irace')))\"");
    if (r.status == 0 && !r.out.empty()) return std::string();
    return std::string(
        "R or irace is not installed (Debian packages r-base-core and r-cran-irace; scripts/bootstrap installs "
        "them): the tests that run irace skip");
  }();
  return reason;
}

}  // namespace mirelock::test

#define SKIP_WITHOUT_IRACE()                                                   \
  do {                                                                         \
    const std::string why = ::mirelock::test::IraceMissingReason();           \
    if (!why.empty()) GTEST_SKIP() << why;                                     \
  } while (false)
