#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

namespace mirelock::tune {

// A program run by the tuning (Rscript), in a process group of its own so
// that a Ctrl-C reaches it only when the caller passes it on. Its standard
// output and error come through one pipe, line by line.
class ChildProcess {
 public:
  // Starts argv[0], looked for on PATH, in `directory`; throws
  // std::runtime_error when it cannot be started.
  ChildProcess(const std::vector<std::string>& argv, const std::string& directory);
  ~ChildProcess();  // an unfinished child is killed and reaped
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  enum class ReadResult { kLine, kNothingYet, kEnd };
  // Waits up to `timeoutMs` for a whole line (without its "\n").
  ReadResult ReadLine(std::string& line, int timeoutMs);

  // Sends a signal to the child's whole process group (its own children too).
  void Signal(int signal);
  // Waits for the end: the exit status, or 128 + the signal that ended it.
  int Wait();

 private:
  pid_t pid_ = -1;
  int fd_ = -1;
  std::string pending_;
  bool reaped_ = false;
  int status_ = 0;
};

// A word for the shell, in single quotes.
std::string ShellQuoted(const std::string& text);

// Runs a program to its end: its exit status and everything it printed.
struct ProgramOutput {
  int status = 0;
  std::string output;
};
ProgramOutput RunProgram(const std::vector<std::string>& argv, const std::string& directory = ".");

}  // namespace mirelock::tune
