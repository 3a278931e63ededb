#include "runner/ResultsFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "BatchBench.h"
#include "runner/ResultsFileCheck.h"
#include "runner/ResultsNaming.h"
#include "runner/TraceFile.h"

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

TEST(ResultsFilesTest, TheProgressCountCountsShortLinesUpToTheFirstLongOne) {
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
    // None of these is a results file: a line count alone never makes a pair complete.
    EXPECT_FALSE(IsResultsFileComplete(dir.Path(), kProblemSAT, "p.cnf", ex)) << c.text.substr(0, 20);
  }
}

// Completeness reads what the lines hold: a file cut inside its last line, a
// row with a field too many or too few, a row of another problem, a line too
// long, or bytes that are no results file at all never count, whatever their
// number of lines; the defect says what is wrong.
TEST(ResultsFilesTest, CompletenessNeedsAResultsHeaderAndOneWholeRowPerRun) {
  TempDir dir;
  const std::string path = dir.Path() + "r.txt";
  const std::string header = "Problem_name\tCost\tCPU_secs\tOptions\n";
  const std::string row = "p.cnf\t5\t0.1\t+seed 1 \n";
  const struct {
    std::string text;
    bool complete;
    std::string defect;
  } cases[] = {
      {header + row + row, true, ""},
      {header + row + row + row, true, ""},  // more runs than asked still count, as they always did
      {header + row, false, ""},             // a stopped pair: short of runs, nothing wrong
      {header + row + row.substr(0, 8), false, "line 3 ends without a newline: the file was cut short"},
      {header + row + "p.cnf\t5\n", false, "line 3 has 2 fields, the header 4"},
      {header + row + "p.cnf\t5\t7\t0.1\t+seed 1 \n", false, "line 3 has 5 fields, the header 4"},
      {header + row + "q.cnf\t5\t0.1\t+seed 1 \n", false, "line 3 is a run of q.cnf, not of p.cnf"},
      {header + row + "\n", false, "line 3 has 1 field, the header 4"},
      {header + row + "p.cnf\t5\t0.1\t" + std::string(1100, 'x') + "\n", false,
       "line 3 is longer than 1023 characters"},
      {"lorem ipsum\tdolor\tsit\tamet\nlorem\tipsum\tdolor\tsit\nx\ty\tz\tw\n", false,
       "does not start with a results header (Problem_name ... Options)"},
      {"", false, "is empty"},
      {std::string("\0\0\0\n\0\n\0\n", 8), false,
       "does not start with a results header (Problem_name ... Options)"},
  };
  for (const auto& c : cases) {
    WriteFile(path, c.text);
    const ResultsFileCheck check = CheckResultsFile(path, "p.cnf", 2);
    EXPECT_TRUE(check.exists);
    EXPECT_EQ(check.complete, c.complete) << c.text.substr(0, 60);
    EXPECT_EQ(check.defect, c.defect) << c.text.substr(0, 60);
  }
  // An experiment of 0 runs is complete with its header alone.
  WriteFile(path, header);
  EXPECT_TRUE(CheckResultsFile(path, "p.cnf", 0).complete);
  EXPECT_FALSE(CheckResultsFile(dir.Path() + "none.txt", "p.cnf", 0).exists);
  // A directory or a FIFO under the name is refused without opening it (a FIFO would wait for a writer).
  std::filesystem::create_directory(dir.Path() + "d.txt");
  EXPECT_EQ(CheckResultsFile(dir.Path() + "d.txt", "p.cnf", 2).defect, "is a directory");
  ASSERT_EQ(::mkfifo((dir.Path() + "f.txt").c_str(), 0600), 0);
  EXPECT_EQ(CheckResultsFile(dir.Path() + "f.txt", "p.cnf", 2).defect, "is not a regular file");
}

// Problems whose names agree up to their first "." (bw_large.a.cnf and
// bw_large.b.cnf, public SATLIB files) once shared one results file. Those
// are now named by their whole names; every other name stays as it was.
TEST(ResultsFilesTest, NoTwoProblemsShareAResultsFileAndUnsharedNamesStayAsTheyWere) {
  CExperiment ex;
  const std::vector<std::string> problems{"bw_large.a.cnf", "bw_large.b.cnf", "bw_large.cnf", "hanoi4.cnf",
                                          "logistics.a.cnf", "ssa.v2.cnf"};
  const ResultsNaming naming(problems);
  std::set<std::string> names;
  for (const std::string& problem : problems) names.insert(naming.FileName(kProblemSAT, problem, ex));
  EXPECT_EQ(names.size(), problems.size());
  const std::string tail = GetResultsFilename(kProblemSAT, "x", ex).substr(14);
  EXPECT_EQ(naming.FileName(kProblemSAT, "bw_large.a.cnf", ex), "Results_SAT_bw_large.a.cnf_" + tail);
  EXPECT_EQ(naming.FileName(kProblemSAT, "bw_large.cnf", ex), "Results_SAT_bw_large.cnf_" + tail);
  // Unshared: exactly GetResultsFilename, first "." and all.
  for (const char* alone : {"hanoi4.cnf", "logistics.a.cnf", "ssa.v2.cnf"})
    EXPECT_EQ(naming.FileName(kProblemSAT, alone, ex), GetResultsFilename(kProblemSAT, alone, ex)) << alone;
  EXPECT_EQ(ResultsNaming().FileName(kProblemSAT, "bw_large.a.cnf", ex),
            GetResultsFilename(kProblemSAT, "bw_large.a.cnf", ex));
  EXPECT_FALSE(naming.Refusal(kProblemSAT, problems, {ex}).has_value());

  // A name no file system takes is refused, naming the problem.
  const std::string longName = std::string(200, 'n') + ".cnf";
  const auto refusal = ResultsNaming({longName}).Refusal(kProblemSAT, {longName}, {ex});
  ASSERT_TRUE(refusal.has_value());
  EXPECT_NE(refusal->find("Cannot name the results file of problem " + longName), std::string::npos) << *refusal;
  EXPECT_NE(refusal->find("more than the 255"), std::string::npos) << *refusal;
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
  EXPECT_EQ(ListDir(request.resultsDirectory),
            (std::vector<std::string>{TraceFileName(request.resultsFileName), request.resultsFileName}));

  // A missing problem: the message with its path and reason, no file (a
  // header alone would be complete for 0 runs), nothing published.
  FakeSolver second(bench.config, 2);
  publishCalls = 0;
  std::string why;
  hooks.problemUnreadable = [&](const std::string& text) { why = text; };
  const ResultsFileRequest missing = bench.Request("gone.cnf");
  EXPECT_EQ(WriteResultsFile(second, missing, hooks), PairOutcome::kProblemUnreadable);
  EXPECT_EQ(messages.Messages().back(), "Error : Cannot open file gone.cnf (" + missing.problemPath +
                                            ": No such file or directory)");
  EXPECT_EQ(why, missing.problemPath + ": No such file or directory");
  EXPECT_FALSE(std::filesystem::exists(missing.ResultsPath()));
  EXPECT_EQ(ListDir(request.resultsDirectory),
            (std::vector<std::string>{TraceFileName(request.resultsFileName), request.resultsFileName}));
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

  const std::string complete = ReadFile(request.ResultsPath()) + "p.cnf\t2\tx\t+\np.cnf\t3\tx\t+\n";
  WriteFile(request.ResultsPath(), complete);
  FakeSolver again(bench.config, 2);
  bench.config.onStep = [&](int, unsigned run, unsigned step) {
    if (run == 1 && step == 5) again.Stop();
  };
  EXPECT_EQ(WriteResultsFile(again, request, {}), PairOutcome::kStopped);
  EXPECT_EQ(ReadFile(request.ResultsPath()), complete);
  EXPECT_EQ(ListDir(request.resultsDirectory).size(), 2u);  // the results file and the first pair's trace
}

}  // namespace
}  // namespace mirelock::test
