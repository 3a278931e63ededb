#include "runner/ResultsFiles.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "FakeSolver.h"
#include "TempDir.h"
#include "platform/FatalError.h"
#include "platform/UserMessages.h"
#include "solver/SolverParameters.h"

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
  auto complete = [&] { return IsResultsFileComplete(dir.Path(), kProblemSAT, "p.cnf", ex); };

  EXPECT_FALSE(complete());  // no file
  WriteFile(path, "");
  EXPECT_EQ(CountResultsFileLines(path), 0u);
  WriteFile(path, "header\nrun1\n");
  EXPECT_FALSE(complete());
  WriteFile(path, "header\nrun1\nrun2\n");
  EXPECT_TRUE(complete());
  WriteFile(path, "header\nrun1\nrun2");  // last line without "\n" still counts
  EXPECT_TRUE(complete());
  WriteFile(path, "header\n\nrun2\n");  // an empty line is a line
  EXPECT_TRUE(complete());

  const std::string fits(1023, 'x'), tooLong(1024, 'x');
  WriteFile(path, fits + "\n" + fits + "\n" + fits + "\n");
  EXPECT_EQ(CountResultsFileLines(path), 3u);
  WriteFile(path, "header\n" + tooLong + "\nrun2\nrun3\n");
  EXPECT_EQ(CountResultsFileLines(path), 1u);
  EXPECT_FALSE(complete());
  WriteFile(path, tooLong + "\n" + tooLong + "\n" + tooLong + "\n");
  EXPECT_FALSE(complete());

  ex.m_nNumRuns = 0;
  WriteFile(dir.Path() + GetResultsFilename(kProblemSAT, "p.cnf", ex), "header only\n");
  EXPECT_TRUE(complete());
}

ResultsFileRequest RequestFor(const TempDir& dir, const std::string& problem, const CExperiment& ex) {
  ResultsFileRequest request;
  request.problemName = problem;
  request.problemPath = dir.Path() + "problems/" + problem;
  request.resultsDirectory = dir.Path() + "results/";
  request.resultsFileName = GetResultsFilename(kProblemSAT, problem, ex);
  request.experiment = ex;
  return request;
}

TEST(ResultsFilesTest, WritesHeaderAndOneLinePerRunAndLeavesNoTemporaryFile) {
  TempDir dir;
  WriteFile(dir.Sub("problems") + "p.cnf", "fake");
  dir.Sub("results");
  FakeSolverConfig config;
  RecordingMessages messages;
  ResultsFileHooks hooks;
  hooks.messages = &messages;
  Solver* published = nullptr;
  int publishCalls = 0;
  hooks.setCurrentSolver = [&](Solver* s) {
    published = s;
    ++publishCalls;
  };

  CExperiment ex;
  ex.m_nNumRuns = 3;
  const ResultsFileRequest request = RequestFor(dir, "p.cnf", ex);
  FakeSolver solver(config, 1);
  EXPECT_EQ(WriteResultsFile(solver, request, hooks), PairOutcome::kFinished);
  EXPECT_EQ(publishCalls, 2);
  EXPECT_EQ(published, nullptr);

  const std::string text = ReadFile(request.resultsDirectory + request.resultsFileName);
  EXPECT_EQ(text.substr(0, text.find('\n') + 1), "Problem_name\tRun\tValue\tOptions\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
  EXPECT_NE(text.find("p.cnf\t3\t"), std::string::npos);
  EXPECT_NE(text.find("+seed 21 +lambda 1 +runs 3 \n"), std::string::npos);
  EXPECT_EQ(ListDir(request.resultsDirectory), std::vector<std::string>{request.resultsFileName});

  // A missing problem: the message, a header-only file, nothing published.
  FakeSolver second(config, 2);
  publishCalls = 0;
  const ResultsFileRequest missing = RequestFor(dir, "gone.cnf", ex);
  EXPECT_EQ(WriteResultsFile(second, missing, hooks), PairOutcome::kProblemUnreadable);
  EXPECT_EQ(messages.Messages().back(), "Error : Cannot open file gone.cnf");
  EXPECT_EQ(ReadFile(missing.resultsDirectory + missing.resultsFileName),
            "Problem_name\tRun\tValue\tOptions\n");
  EXPECT_EQ(publishCalls, 0);

  // An unsupported setting ends the pair before any run, with the header in place.
  ex.m_bHistory = true;
  const ResultsFileRequest unsupported = RequestFor(dir, "p.cnf", ex);
  FakeSolver third(config, 3);
  EXPECT_THROW(WriteResultsFile(third, unsupported, hooks), UnsupportedFeature);
  EXPECT_EQ(ReadFile(unsupported.resultsDirectory + unsupported.resultsFileName),
            "Problem_name\tRun\tValue\tOptions\n");

  // A results directory that does not exist.
  ResultsFileRequest nowhere = RequestFor(dir, "p.cnf", CExperiment{});
  nowhere.resultsDirectory = dir.Path() + "absent/";
  FakeSolver fourth(config, 4);
  try {
    WriteResultsFile(fourth, nowhere, hooks);
    ADD_FAILURE() << "no exception";
  } catch (const ResultsFileException& e) {
    EXPECT_EQ(e.m_strResultsDirectory, nowhere.resultsDirectory);
    EXPECT_EQ(e.m_strPath, nowhere.resultsDirectory + nowhere.resultsFileName);
  }
}

TEST(ResultsFilesTest, StoppedPairKeepsFinishedLinesButNeverReplacesACompleteFile) {
  TempDir dir;
  WriteFile(dir.Sub("problems") + "p.cnf", "fake");
  dir.Sub("results");
  FakeSolverConfig config;
  CExperiment ex;
  ex.m_nNumRuns = 3;
  const ResultsFileRequest request = RequestFor(dir, "p.cnf", ex);
  const std::string path = request.resultsDirectory + request.resultsFileName;
  ResultsFileHooks hooks;

  FakeSolver solver(config, 1);
  config.onStep = [&](int, unsigned run, unsigned step) {
    if (run == 2 && step == 5) solver.Stop();
  };
  EXPECT_EQ(WriteResultsFile(solver, request, hooks), PairOutcome::kStopped);
  EXPECT_EQ(CountResultsFileLines(path), 2u);  // header and run 1

  WriteFile(path, "h\n1\n2\n3\n");
  FakeSolver again(config, 2);
  config.onStep = [&](int, unsigned run, unsigned step) {
    if (run == 1 && step == 5) again.Stop();
  };
  EXPECT_EQ(WriteResultsFile(again, request, hooks), PairOutcome::kStopped);
  EXPECT_EQ(ReadFile(path), "h\n1\n2\n3\n");
  EXPECT_EQ(ListDir(request.resultsDirectory).size(), 1u);
}

TEST(ResultsFilesTest, KilledWriterNeverLeavesAFileThatCountsAsComplete) {
  TempDir dir;
  WriteFile(dir.Sub("problems") + "p.cnf", "fake");
  dir.Sub("results");
  CExperiment ex;
  ex.m_nNumRuns = 3;
  const ResultsFileRequest request = RequestFor(dir, "p.cnf", ex);
  const std::string path = request.resultsDirectory + request.resultsFileName;
  WriteFile(path, "old header\nold run 1\n");  // an earlier, interrupted attempt

  // The child writes the pair and tells the parent when its last run is
  // under way; the parent kills it there, with every line but one written.
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(ready[0]);
    FakeSolverConfig config;
    config.onStep = [&](int, unsigned run, unsigned step) {
      if (run == 3 && step == 1) {
        const char byte = 1;
        if (::write(ready[1], &byte, 1) != 1) ::_exit(2);
        for (;;) ::pause();
      }
    };
    FakeSolver solver(config, 1);
    WriteResultsFile(solver, request, ResultsFileHooks{});
    ::_exit(0);
  }
  ::close(ready[1]);
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  ::close(ready[0]);
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));

  EXPECT_FALSE(IsResultsFileComplete(request.resultsDirectory, kProblemSAT, "p.cnf", ex));
  EXPECT_EQ(ReadFile(path), "old header\nold run 1\n");
}

}  // namespace
}  // namespace mirelock::test
