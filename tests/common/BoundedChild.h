#pragma once
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace mirelock::test {

// The address-space limit cannot be used under AddressSanitizer or
// ThreadSanitizer, whose shadow memory is reserved up front.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kAddressSpaceLimitWorks = false;
#else
inline constexpr bool kAddressSpaceLimitWorks = true;
#endif

// How a bounded child ended: the text its body returned (or "exception: ..."),
// or killed by a signal (SIGALRM: it ran out of time; SIGABRT or SIGSEGV
// after an allocation failed beyond the memory limit).
struct ChildOutcome {
  bool finished = false;
  int signal = 0;
  std::string text;
};

inline std::size_t VirtualMemoryBytes() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  statm >> pages;
  return pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// Runs `body` in a child process that SIGALRM ends after `seconds`, and whose
// address space may grow by at most `extraBytes` beyond the test's own, so a
// reader that blocks or grows without bound fails the test instead of
// hanging it or exhausting the machine.
inline ChildOutcome RunBounded(const std::function<std::string()>& body, unsigned seconds,
                               std::size_t extraBytes) {
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) return {false, 0, "pipe failed"};
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipeEnds[0]);
    if (kAddressSpaceLimitWorks) {
      const rlim_t limit = VirtualMemoryBytes() + extraBytes;
      const rlimit bound{limit, limit};
      ::setrlimit(RLIMIT_AS, &bound);
    }
    ::signal(SIGALRM, SIG_DFL);
    ::alarm(seconds);
    std::string text;
    try {
      text = body();
    } catch (const std::exception& error) {
      text = std::string("exception: ") + error.what();
    }
    for (std::size_t done = 0; done < text.size();) {
      const ssize_t wrote = ::write(pipeEnds[1], text.data() + done, text.size() - done);
      if (wrote <= 0) break;
      done += static_cast<std::size_t>(wrote);
    }
    ::_exit(0);
  }
  ::close(pipeEnds[1]);
  ChildOutcome outcome;
  char buffer[4096];
  for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
    outcome.text.append(buffer, static_cast<std::size_t>(got));
  ::close(pipeEnds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  outcome.finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
  return outcome;
}

// Each case's body, run bounded (10 seconds, 64 MiB beyond the test's own
// memory), must finish and return its expected text.
inline void ExpectBoundedOutcomes(
    const std::vector<std::pair<std::function<std::string()>, std::string>>& cases) {
  for (const auto& [body, expected] : cases) {
    const ChildOutcome outcome = RunBounded(body, 10, std::size_t{64} << 20);
    EXPECT_TRUE(outcome.finished) << expected << "\nended by signal " << outcome.signal
                                  << (outcome.signal == SIGALRM ? " (out of time)" : "");
    EXPECT_EQ(outcome.text, expected);
  }
}

// In `dir`, a FIFO, a symbolic link to /dev/zero, a directory and a 1 GiB
// sparse file (all NUL bytes), each named after what it is plus `extension`:
// the files a reader must refuse without blocking or growing.
struct HostileFiles {
  std::string fifo, zero, directory, sparse;
};

inline HostileFiles MakeHostileFiles(const std::string& dir, const std::string& extension) {
  HostileFiles files{dir + "fifo" + extension, dir + "zero" + extension, dir + "directory" + extension,
                     dir + "sparse" + extension};
  ::mkfifo(files.fifo.c_str(), 0600);
  ::symlink("/dev/zero", files.zero.c_str());
  std::filesystem::create_directory(files.directory);
  std::ofstream(files.sparse).close();
  std::filesystem::resize_file(files.sparse, std::uintmax_t{1} << 30);
  return files;
}

}  // namespace mirelock::test
