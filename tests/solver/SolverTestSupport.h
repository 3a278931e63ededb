#pragma once
// Helpers shared by the SAT, QAP and TSP solver tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "common/TestSupport.h"
#include "experiments/CExperiment.h"
#include "platform/FatalError.h"
#include "platform/NumberFormat.h"
#include "solver/Solver.h"

namespace mirelock::test {

// A tab-separated row with column `column` (0-based) replaced by "T": the
// CPU time differs from run to run, every other column must not.
inline std::string BlankColumn(const std::string& row, int column) {
  std::size_t start = 0;
  for (int i = 0; i < column; ++i) start = row.find('\t', start) + 1;
  // Appended piece by piece: g++ 12 warns (-Wrestrict, wrongly) about the same built with operator+.
  std::string blanked(row, 0, start);
  blanked += 'T';
  return blanked.append(row, row.find('\t', start), std::string::npos);
}

// The settings of an experiment. Each solver's tests start from their own
// defaults; these are the SAT tests'.
struct Experiment {
  unsigned maxRepairs = 1000;  // per variable, item or city when perN
  bool perN = true;
  unsigned runs = 3;
  double lambda = 1.0;
  double randomMoves = 0.0;
  bool aspiration = false;
  bool history = false;
  unsigned decayEvery = 0;  // 0: no decay
  double decayFactor = 0.8;
  int sideways = 2;
  unsigned seed = 21;
  unsigned neighbours = 0;  // TSP: 0 the full neighbourhood, K fast local search
};

// Through the batch's own hand-off, so the solver gets the settings in the
// order and with the seed a batch gives them.
inline void Apply(SolverParameters& p, const Experiment& e) {
  CExperiment experiment;
  experiment.m_nMaxRepairs = e.maxRepairs;
  experiment.m_bMaxRepairsTimesN = e.perN;
  experiment.m_nNumRuns = e.runs;
  experiment.m_dLambda = e.lambda;
  experiment.m_dRandomMoveProb = e.randomMoves;
  experiment.m_bAspiration = e.aspiration;
  experiment.m_bHistory = e.history;
  experiment.m_nPenaltyDecayEvery = e.decayEvery;
  experiment.m_dPenaltyDecayFactor = e.decayFactor;
  experiment.m_nSideways = static_cast<std::uint32_t>(e.sideways);
  experiment.m_nNeighbours = e.neighbours;
  RunSettings settings;
  settings.seedMode = kSeedFixed;
  settings.fixedSeed = e.seed;
  ApplyExperiment(p, experiment, settings);
}

// Reads a file, or an instance's text (anything with a line break), into the solver.
inline void Load(Solver& solver, const std::string& source) {
  if (source.find('\n') != std::string::npos) {
    std::istringstream in(source);
    solver.GetProblem().Read(in);
    return;
  }
  std::ifstream in(source);
  ASSERT_TRUE(in.is_open()) << source;
  solver.GetProblem().SetSourceName(source);
  solver.GetProblem().Read(in);
}

// Every run of the solver's experiment: its results row and option text, with
// the time column blanked.
inline std::vector<std::string> RunRows(Solver& solver, int timeColumn) {
  std::vector<std::string> rows;
  for (unsigned run = 0; run < solver.GetParameters().GetNumRuns(); ++run) {
    solver.Solve();
    std::ostringstream row;
    UseDefaultNumberFormat(row);
    solver.GetStats().WriteRow(row);
    solver.GetParameters().WriteOptions(row);
    rows.push_back(BlankColumn(row.str(), timeColumn));
  }
  return rows;
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

// One run with a monitor file and an absolute repair limit: a header, then a
// line every `period` repairs (every repair for 0) from 0 to the limit, each
// with as many fields as the header. Returns the lines.
inline std::vector<std::string> MonitorLines(Solver& solver, unsigned repairs, unsigned period) {
  const std::string path = TemporaryPath("monitor");
  solver.GetParameters().SetMaxRepairs(repairs);
  solver.GetParameters().SetMonitor(path, period);
  solver.Solve();
  const std::vector<std::string> lines = ReadLines(path);
  std::filesystem::remove(path);
  const unsigned step = period == 0 ? 1 : period;
  EXPECT_EQ(lines.size(), 1 + repairs / step + 1);
  const auto tabs = [](const std::string& line) { return std::count(line.begin(), line.end(), '\t'); };
  for (std::size_t i = 1; i < lines.size(); ++i) {
    EXPECT_EQ(tabs(lines[i]), tabs(lines[0])) << lines[i];
    EXPECT_EQ(std::stoul(lines[i]), (i - 1) * step);
  }
  return lines;
}

inline std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
  std::string out;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(from, start)) != std::string::npos; start = at + from.size())
    out.append(text, start, at - start).append(to);
  return out.append(text, start);
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
    expected[line.substr(0, tab)] = ReplaceAll(line.substr(tab + 1), "\\n", "\n");
  }
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TestData(folder))) {
    const std::string name = entry.path().filename().string(), path = entry.path().string();
    if (name == "expected.txt") continue;
    ++files;
    const auto outcome = expected.find(name);
    const std::string actual = read(path);
    if (outcome == expected.end()) {
      // The line in the table's form, ready to paste.
      ADD_FAILURE() << folder << "/expected.txt has no line for " << name << ":\n"
                    << name << "\t" << ReplaceAll(ReplaceAll(actual, "\n", "\\n"), path, "{path}");
      continue;
    }
    EXPECT_EQ(actual, ReplaceAll(outcome->second, "{path}", path)) << name;
  }
  EXPECT_EQ(files, expected.size()) << "lines of " << folder << "/expected.txt name missing files";
}

}  // namespace mirelock::test
