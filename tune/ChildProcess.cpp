#include "tune/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace mirelock::tune {

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& directory) {
  if (argv.empty()) throw std::runtime_error("no program to run");
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
  // Everything the child needs is prepared before fork: after it only
  // async-signal-safe calls are allowed.
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_ = ::fork();
  if (pid_ < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
  }
  if (pid_ == 0) {
    ::setpgid(0, 0);
    ::dup2(fds[1], STDOUT_FILENO);
    ::dup2(fds[1], STDERR_FILENO);
    const int null = ::open("/dev/null", O_RDONLY);
    if (null >= 0) ::dup2(null, STDIN_FILENO);
    // The parent may ignore SIGINT meanwhile; the child starts with the default.
    ::signal(SIGINT, SIG_DFL);
    if (::chdir(directory.c_str()) != 0) ::_exit(126);
    ::execvp(args[0], args.data());
    const char message[] = "cannot start the program\n";
    [[maybe_unused]] auto written = ::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(127);
  }
  ::setpgid(pid_, pid_);  // also here, so that a signal sent at once finds the group
  ::close(fds[1]);
  fd_ = fds[0];
}

ChildProcess::~ChildProcess() {
  if (!reaped_ && pid_ > 0) {
    ::kill(-pid_, SIGKILL);
    Wait();
  }
  if (fd_ >= 0) ::close(fd_);
}

ChildProcess::ReadResult ChildProcess::ReadLine(std::string& line, int timeoutMs) {
  for (;;) {
    const auto end = pending_.find('\n');
    if (end != std::string::npos) {
      line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return ReadResult::kLine;
    }
    if (fd_ < 0) {
      if (pending_.empty()) return ReadResult::kEnd;
      line.swap(pending_);
      pending_.clear();
      return ReadResult::kLine;
    }
    pollfd poller{fd_, POLLIN, 0};
    const int ready = ::poll(&poller, 1, timeoutMs);
    if (ready == 0 || (ready < 0 && errno == EINTR)) return ReadResult::kNothingYet;
    char buffer[4096];
    const ssize_t got = ready < 0 ? -1 : ::read(fd_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) return ReadResult::kNothingYet;
    if (got <= 0) {
      ::close(fd_);
      fd_ = -1;
      continue;
    }
    pending_.append(buffer, static_cast<std::size_t>(got));
  }
}

void ChildProcess::Signal(int signal) {
  if (!reaped_ && pid_ > 0) ::kill(-pid_, signal);
}

int ChildProcess::Wait() {
  if (reaped_) return status_;
  int raw = 0;
  while (::waitpid(pid_, &raw, 0) < 0) {
    if (errno != EINTR) {
      raw = 0;
      break;
    }
  }
  reaped_ = true;
  status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : WIFSIGNALED(raw) ? 128 + WTERMSIG(raw) : 1;
  return status_;
}

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

ProgramOutput RunProgram(const std::vector<std::string>& argv, const std::string& directory) {
  ChildProcess child(argv, directory);
  ProgramOutput result;
  std::string line;
  ChildProcess::ReadResult read;
  while ((read = child.ReadLine(line, 1000)) != ChildProcess::ReadResult::kEnd)
    if (read == ChildProcess::ReadResult::kLine) result.output.append(line).append("\n");
  result.status = child.Wait();
  return result;
}

}  // namespace mirelock::tune
