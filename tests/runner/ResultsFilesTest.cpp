#include "runner/ResultsFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "BatchBench.h"

namespace mirelock::test {
namespace {

TEST(ResultsFilesTest, NamesFollowTypeProblemAndParameterTexts) {
  CExperiment ex;
  EXPECT_EQ(
      GetResultsFilename(kProblemQAP, "tai12a.dat", ex),
      "Results_QAP_tai12a_Lambda_1_Aspiration_Off_Sideways_2_Pr(random_move)_Off_History_Off_Penalty_decay_"
      "Off_Max_repairs_1000timesN_Num_runs_10.txt");
  EXPECT_EQ(GetResultsFilename(kProblemSAT, "a.b.cnf", ex).substr(0, 14), "Results_SAT_a_");
  EXPECT_EQ(GetResultsFilename(kProblemTSP, "noext", ex).substr(0, 18), "Results_TSP_noext_");
  ex.m_nPenaltyDecayEvery = 200;
  ex.m_bMaxRepairsTimesN = false;
  const std::string name = GetResultsFilename(kProblemMaxSAT, "jnh1.sat", ex);
  EXPECT_NE(name.find("_Penalty_decay_0.8_every_200_local_minima_Max_repairs_1000_"), std::string::npos)
      << name;
  EXPECT_EQ(name.substr(0, 20), "Results_MAXSAT_jnh1_");
  // A decay factor that no text shows does not reach the name.
  CExperiment a, b;
  b.m_dPenaltyDecayFactor = 0.5;
  EXPECT_EQ(GetResultsFilename(kProblemQAP, "x.dat", a), GetResultsFilename(kProblemQAP, "x.dat", b));
  EXPECT_THROW(GetResultsFilename(7, "x.dat", ex), FatalError);
  EXPECT_EQ(MonitorRunProblemName("/data/qap/tai12a.dat"), "tai12a_monitor_run");
}

TEST(ResultsFilesTest, CompletenessCountsShortLinesUpToTheFirstLongOne) {
  TempDir dir;
  CExperiment ex;
  ex.m_nNumRuns = 2;
  const std::string path = dir.Path() + GetResultsFilename(kProblemSAT, "p.cnf", ex);
  EXPECT_FALSE(IsResultsFileComplete(dir.Path(), kProblemSAT, "p.cnf", ex));  // no file
  const std::string fits(1023, 'x'), tooLong(1024, 'x');
  const struct {
    std::string text;
    std::size_t lines;
  } cases[] = {
      {"", 0},
      {"header\nrun1\n", 2},
      {"header\nrun1\nrun2\n", 3},
      {"header\nrun1\nrun2", 3},  // a last line without "\n" still counts
      {"header\n\nrun2\n", 3},    // an empty line is a line
      {fits + "\n" + fits + "\n" + fits + "\n", 3},
      {"header\n" + tooLong + "\nrun2\nrun3\n", 1},
      {tooLong + "\n" + tooLong + "\n" + tooLong + "\n", 0},
  };
  for (const auto& c : cases) {
    WriteFile(path, c.text);
    EXPECT_EQ(CountResultsFileLines(path), c.lines) << c.text.substr(0, 20);
    EXPECT_EQ(IsResultsFileComplete(dir.Path(), kProblemSAT, "p.cnf", ex), c.lines >= 3) << c.text.substr(0, 20);
  }
  ex.m_nNumRuns = 0;
  WriteFile(dir.Path() + GetResultsFilename(kProblemSAT, "p.cnf", ex), "header only\n");
  EXPECT_TRUE(IsResultsFileComplete(dir.Path(), kProblemSAT, "p.cnf", ex));
}

TEST(ResultsFilesTest, WritesHeaderAndOneLinePerRunAndLeavesNoTemporaryFile) {
  Bench bench({"p.cnf"}, {});
  RecordingMessages messages;
  ResultsFileHooks hooks;
  hooks.messages = &messages;
  Solver* published = nullptr;
  int publishCalls = 0;
  hooks.setCurrentSolver = [&](Solver* s) {
    published = s;
    ++publishCalls;
  };
  const ResultsFileRequest request = bench.Request("p.cnf");
  FakeSolver solver(bench.config, 1);
  EXPECT_EQ(WriteResultsFile(solver, request, hooks), PairOutcome::kFinished);
  EXPECT_EQ(publishCalls, 2);
  EXPECT_EQ(published, nullptr);
  const auto lines = Split(ReadFile(request.ResultsPath()));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Problem_name\tRun\tValue\tOptions");
  EXPECT_EQ(lines[3].substr(0, 8), "p.cnf\t3\t");
  EXPECT_EQ(lines[3].substr(lines[3].find("\t+")), "\t+seed 21 +lambda 0.25 +runs 3 ");
  EXPECT_EQ(ListDir(request.resultsDirectory), std::vector<std::string>{request.resultsFileName});

  // A missing problem: the message, a header-only file, nothing published.
  FakeSolver second(bench.config, 2);
  publishCalls = 0;
  const ResultsFileRequest missing = bench.Request("gone.cnf");
  EXPECT_EQ(WriteResultsFile(second, missing, hooks), PairOutcome::kProblemUnreadable);
  EXPECT_EQ(messages.Messages().back(),
            "Error : Cannot open file gone.cnf (" + missing.problemPath + ": No such file or directory)");
  EXPECT_EQ(ReadFile(missing.ResultsPath()), "Problem_name\tRun\tValue\tOptions\n");
  EXPECT_EQ(publishCalls, 0);
}

TEST(ResultsFilesTest, StoppedPairKeepsFinishedLinesButNeverReplacesACompleteFile) {
  Bench bench({"p.cnf"}, {});
  const ResultsFileRequest request = bench.Request("p.cnf");
  FakeSolver solver(bench.config, 1);
  bench.config.onStep = [&](int, unsigned run, unsigned step) {
    if (run == 2 && step == 5) solver.Stop();
  };
  EXPECT_EQ(WriteResultsFile(solver, request, {}), PairOutcome::kStopped);
  EXPECT_EQ(CountResultsFileLines(request.ResultsPath()), 2u);  // header and run 1

  WriteFile(request.ResultsPath(), "h\n1\n2\n3\n");
  FakeSolver again(bench.config, 2);
  bench.config.onStep = [&](int, unsigned run, unsigned step) {
    if (run == 1 && step == 5) again.Stop();
  };
  EXPECT_EQ(WriteResultsFile(again, request, {}), PairOutcome::kStopped);
  EXPECT_EQ(ReadFile(request.ResultsPath()), "h\n1\n2\n3\n");
  EXPECT_EQ(ListDir(request.resultsDirectory).size(), 1u);
}

}  // namespace
}  // namespace mirelock::test
