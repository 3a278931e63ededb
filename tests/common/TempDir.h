#pragma once
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace mirelock::test {

// A fresh directory for one test, removed afterwards. Path() ends with "/".
class TempDir {
 public:
  TempDir() {
    std::string name = (std::filesystem::temp_directory_path() / "mirelock-test-XXXXXX").string();
    path_ = std::string(::mkdtemp(name.data())) + "/";
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string Path(const std::string& name) const { return path_ + name; }
  std::string Sub(const std::string& name) const {
    std::filesystem::create_directories(path_ + name);
    return path_ + name + "/";
  }

 private:
  std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline std::vector<std::string> Split(const std::string& text, char separator = '\n') {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

inline std::vector<std::string> ListDir(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A temporary file of `dir` with the owner record that a writer in process
// `pid` of `host` leaves beside it. Without a host and pid: a process of this
// host that has ended and been reaped, so certainly gone.
inline std::string LeaveTemporary(const std::string& dir, const std::string& name, std::string host = "",
                                  long pid = 0) {
  if (host.empty()) {
    char here[256] = {};
    ::gethostname(here, sizeof here - 1);
    host = here;
  }
  if (pid == 0) {
    pid = ::fork();
    if (pid == 0) ::_exit(0);
    ::waitpid(static_cast<pid_t>(pid), nullptr, 0);
  }
  WriteFile(dir + name, "Problem_name\tRun\n");
  WriteFile(dir + name + ".owner", host + "\n" + std::to_string(pid) + "\n");
  return dir + name;
}

}  // namespace mirelock::test
