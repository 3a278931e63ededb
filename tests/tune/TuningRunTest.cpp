// Whole tunings on the bundled QAP examples: elites join the document after
// experiment 0, the same seed gives the same elites, the test batch is an
// ordinary batch, and bad input or Ctrl-C leave the document as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "BatchFiles.h"
#include "TuneTestSupport.h"
#include "common/TempDir.h"

namespace mirelock::test {
namespace {

namespace fs = std::filesystem;

class Tuning : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path qap = SourceDir() / "examples" / "qap";
    fs::create_directories(dir_ / "train");
    fs::create_directories(dir_ / "test");
    for (const char* name : {"nug12.dat", "tai12a.dat", "best.txt"}) fs::copy_file(qap / name, dir_ / "train" / name);
    for (const char* name : {"chr12a.dat", "best.txt"}) fs::copy_file(qap / name, dir_ / "test" / name);
    Ok("doc new d.mirel --type qap --problems train --results results");
    Ok("exp add d.mirel --aspiration off --random-moves 0 --max-repairs 10 --runs 2");
    // Three parameters: irace's first race needs 96 runs.
    std::ofstream(dir_ / "space.txt") << "lambda      \"--lambda \"      r,log (0.01, 100)\n"
                                         "sideways    \"--sideways \"    i     (0, 20)\n"
                                         "aspiration  \"--aspiration \"  c     (on, off)\n";
  }
  CommandResult Run(const std::string& arguments) { return RunMirelock(dir_.string(), arguments); }
  void Ok(const std::string& arguments) {
    const CommandResult r = Run(arguments);
    ASSERT_EQ(r.status, 0) << arguments << "\n" << r.err;
  }
  std::string Experiments(const std::string& doc) { return Run("exp list " + doc).out; }

  TempDir temp_;
  const fs::path dir_ = fs::path(temp_.Path()).parent_path();
};

TEST_F(Tuning, ElitesJoinTheDocumentAfterExperiment0AndTheSameSeedGivesTheSameElites) {
  SKIP_WITHOUT_IRACE();
  fs::copy_file(dir_ / "d.mirel", dir_ / "again.mirel");
  const std::string before = Experiments("d.mirel");

  const CommandResult first = Run("tune d.mirel --space space.txt --budget 150 --jobs 2 --seed 7 --test test --out first");
  ASSERT_EQ(first.status, 0) << first.err;
  for (const char* part : {"Elites (in irace's order, best first", "Iterations (settings raced, eliminated, kept", "Exp 1  setting",
                           "Test report (the verdict):"})
    EXPECT_NE(first.out.find(part), std::string::npos) << part << " not in:\n" << first.out;
  EXPECT_NE(first.err.find("tune: iteration 3 of 3, "), std::string::npos) << first.err;
  for (const char* file : {"tuning.html", "report.html", "runs.csv", "irace/irace.Rdata", "irace/irace.log",
                           "irace/scenario.txt", "irace/parameters.txt", "test.mirel"})
    EXPECT_TRUE(fs::exists(dir_ / "first" / file)) << file;

  const std::string after = Experiments("d.mirel");
  // Experiment 0 stays first and unchanged (lambda 1, aspiration off, 2 sideways); the elites follow it.
  EXPECT_GT(std::count(after.begin(), after.end(), '\n'), std::count(before.begin(), before.end(), '\n'));
  std::istringstream rows(after.substr(after.find("\n0 ") + 1));
  std::string id, lambda, aspiration, sideways;
  rows >> id >> lambda >> aspiration >> sideways;
  EXPECT_EQ(id + " " + lambda + " " + aspiration + " " + sideways, "0 1 Off 2") << after;
  EXPECT_NE(Run("doc show d.mirel").out.find("Max repairs=10*N"), std::string::npos);  // termination kept

  // The same seed, one run at a time instead of two, without a test: the same elites in the same order.
  const CommandResult second = Run("tune again.mirel --space space.txt --budget 150 --jobs 1 --seed 7 --out second");
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(Experiments("again.mirel"), after);

  // The test batch is an ordinary batch: experiment 0's rows are those of a batch run by hand.
  Ok("doc new plain.mirel --type qap --problems test --results plain-results");
  Ok("exp add plain.mirel --aspiration off --random-moves 0 --max-repairs 10 --runs 2");
  Ok("run plain.mirel");
  const std::string name =
      "Results_QAP_chr12a_Lambda_1_Aspiration_Off_Sideways_2_Pr(random_move)_Off_History_Off_Penalty_decay_Off_"
      "Max_repairs_10timesN_Num_runs_2.txt";
  EXPECT_EQ(WithoutTimes(ReadText(dir_ / "first" / "test-results" / name)),
            WithoutTimes(ReadText(dir_ / "plain-results" / name)));
}

TEST_F(Tuning, BadInputIsRefusedBeforeAnyRunAndTheDocumentStaysAsItWas) {
  const std::string original = ReadText(dir_ / "d.mirel");
  fs::create_directories(dir_ / "empty");
  fs::create_directories(dir_ / "broken");
  std::ofstream(dir_ / "broken" / "bad.dat") << "12\n1 2 x\n";
  std::ofstream(dir_ / "unknown.txt") << "tenure  \"--tenure \"  i  (1, 9)\n";
  std::ofstream(dir_ / "outside.txt") << "random_moves  \"--random-moves \"  r  (0, 2)\n";
  const std::pair<std::string, std::string> cases[] = {
      {"--space unknown.txt", "unknown.txt, line 1: unknown parameter tenure"},
      {"--space outside.txt", "is outside what an experiment accepts, 0 to 1"},
      {"--space missing.txt", "Cannot open the parameter space file missing.txt"},
      {"--train empty", "The training set is empty: "},
      {"--test empty", "The test set is empty: "},
      {"--test train", "the test problems must be others than the training problems"},
      {"--budget 299", "--budget 299: irace's first race needs at least 300 target runs for 8 parameters"},
      {"--space space.txt --budget 95", "needs at least 96 target runs for 3 parameters"},
      {"--budget -5", "--budget -5: Please enter a positive integer."},
      {"--jobs 0", "--jobs"},
      {"--train broken", "bad.dat: the solver refuses it"},
  };
  for (const auto& [flags, message] : cases) {
    const CommandResult r = Run("tune d.mirel " + flags + " --out out");
    EXPECT_EQ(r.status, 1) << flags;
    EXPECT_NE(r.err.find(message), std::string::npos) << flags << ": " << r.err;
    EXPECT_FALSE(fs::exists(dir_ / "out")) << flags << ": something was written";
    EXPECT_EQ(ReadText(dir_ / "d.mirel"), original) << flags;
  }

  // An experiment 0 the solver refuses: the TSP solver has no history.
  Ok("doc new t.mirel --type tsp --problems " + (SourceDir() / "examples" / "tsp").string());
  Ok("exp add t.mirel --history on --max-repairs 5");
  const std::string tsp = ReadText(dir_ / "t.mirel");
  const CommandResult history = Run("tune t.mirel --out out");
  EXPECT_EQ(history.status, 1);
  EXPECT_NE(history.err.find("Experiment 0: History is not yet implemented for the current problem type"),
            std::string::npos)
      << history.err;
  EXPECT_EQ(ReadText(dir_ / "t.mirel"), tsp);

  // Without R, tune names the Debian packages to install.
  const ShellOutput noR =
      RunShell("cd '" + dir_.string() + "' && PATH=/nonexistent '" MIRELOCK_BINARY "' tune d.mirel --out out");
  EXPECT_EQ(noR.status, 1);
  EXPECT_NE(noR.out.find("install the Debian packages r-base-core and r-cran-irace"), std::string::npos) << noR.out;
  EXPECT_EQ(ReadText(dir_ / "d.mirel"), original);
}

TEST_F(Tuning, CtrlCStopsIraceKeepsItsLogAndLeavesTheDocumentUnchanged) {
  SKIP_WITHOUT_IRACE();
  const std::string original = ReadText(dir_ / "d.mirel");
  const ShellOutput r = RunShell("cd '" + dir_.string() + "' && timeout --preserve-status -s INT 4 '" MIRELOCK_BINARY
                                 "' tune d.mirel --budget 100000 --out out");
  EXPECT_EQ(r.status, 130) << r.out;
  EXPECT_NE(r.out.find("Tuning stopped. irace's log so far is kept in"), std::string::npos) << r.out;
  EXPECT_TRUE(fs::exists(dir_ / "out" / "irace" / "irace.log"));
  EXPECT_EQ(ReadText(dir_ / "d.mirel"), original);
  // No runner is left behind: irace's process group is gone.
  EXPECT_NE(RunShell("pgrep -f 'tune-ru[n] " + (dir_ / "out").string() + "'").status, 0);
}

}  // namespace
}  // namespace mirelock::test
