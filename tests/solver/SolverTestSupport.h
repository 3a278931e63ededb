#pragma once
// Helpers shared by the SAT, QAP and TSP solver tests.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include "common/TestSupport.h"
#include "platform/FatalError.h"

namespace mirelock::test {

// A tab-separated row with column `column` (0-based) replaced by "T": the
// CPU time differs from run to run, every other column must not.
inline std::string BlankColumn(const std::string& row, int column) {
  std::size_t start = 0;
  for (int i = 0; i < column && start != std::string::npos; ++i) {
    start = row.find('\t', start);
    if (start != std::string::npos) ++start;
  }
  if (start == std::string::npos) return row;
  const std::size_t end = row.find('\t', start);
  return row.substr(0, start) + "T" + (end == std::string::npos ? std::string() : row.substr(end));
}

inline std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A file name in the temporary folder that no other test process uses.
inline std::string TemporaryPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          ("mirelock-" + name + "-" + std::to_string(::getpid()) + ".txt"))
      .string();
}

// What a fatal error shows: its stream, exit status and text.
inline std::string Outcome(const FatalError& error) {
  return std::string(error.Stream() == OutputStream::Err ? "stderr " : "stdout ") +
         std::to_string(error.ExitStatus()) + ": " + error.Text();
}

// Every input file of a folder (each named after its defect) against its
// line in the folder's expected.txt: "file<TAB>outcome", where the outcome is
// what `read` returns for the file, "\n" stands for a line break and "{path}"
// for the file's path. A file without a line, or a line without a file, fails.
inline void ExpectReadOutcomes(const std::string& folder, const std::function<std::string(const std::string&)>& read) {
  std::map<std::string, std::string> expected;
  for (const std::string& line : ReadLines(TestData(folder + "/expected.txt"))) {
    const std::size_t tab = line.find('\t');
    if (line.empty() || line[0] == '#' || tab == std::string::npos) continue;
    std::string outcome = line.substr(tab + 1);
    for (std::size_t at; (at = outcome.find("\\n")) != std::string::npos;) outcome.replace(at, 2, "\n");
    expected[line.substr(0, tab)] = outcome;
  }
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TestData(folder))) {
    const std::string name = entry.path().filename().string(), path = entry.path().string();
    if (name == "expected.txt") continue;
    ++files;
    auto outcome = expected.find(name);
    const std::string actual = read(path);
    if (outcome == expected.end()) {
      std::string line = name + "\t" + actual;  // in the table's form, ready to paste
      for (std::size_t at; (at = line.find('\n')) != std::string::npos;) line.replace(at, 1, "\\n");
      for (std::size_t at; (at = line.find(path)) != std::string::npos;) line.replace(at, path.size(), "{path}");
      ADD_FAILURE() << folder << "/expected.txt has no line for " << name << ":\n" << line;
      continue;
    }
    for (std::size_t at; (at = outcome->second.find("{path}")) != std::string::npos;)
      outcome->second.replace(at, 6, path);
    EXPECT_EQ(actual, outcome->second) << name;
  }
  EXPECT_EQ(files, expected.size()) << "lines of " << folder << "/expected.txt name missing files";
}

}  // namespace mirelock::test
