// The target runner's cost is the cost of the same problem, settings and seed
// solved by mirelock solve, for every problem type and both SAT outcomes.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "BatchFiles.h"
#include "common/TempDir.h"

namespace mirelock::test {
namespace {

namespace fs = std::filesystem;

// The one run's row of a results file, by column name.
std::map<std::string, std::string> RowOf(const std::string& results) {
  std::istringstream lines(results);
  std::string header, row;
  std::getline(lines, header);
  std::getline(lines, row);
  std::map<std::string, std::string> cells;
  std::istringstream names(header), values(row);
  for (std::string name, value; std::getline(names, name, '\t') && std::getline(values, value, '\t');)
    cells[name] = value;
  return cells;
}

class TargetRun : public ::testing::Test {
 protected:
  // A base document with experiment 0 as tune writes it: the type and the termination criteria.
  std::string Base(const std::string& type, const std::string& repairs) {
    const std::string doc = type + "-base.mirel";
    EXPECT_EQ(RunMirelock(dir_, "doc new " + doc + " --type " + type).status, 0);
    EXPECT_EQ(RunMirelock(dir_, "exp add " + doc + " --aspiration off --random-moves 0 --max-repairs " + repairs +
                                    " --runs 5")
                  .status,
              0);
    return doc;
  }
  double TuneRunCost(const std::string& base, const std::string& problem, const std::string& seed,
                     const std::string& settings) {
    const CommandResult run = RunMirelock(dir_, "tune-run " + base + " 7 3 " + seed + " " + problem + " " + settings);
    EXPECT_EQ(run.status, 0) << run.err << run.out;
    EXPECT_EQ(run.err, "");
    return std::stod(run.out);
  }
  std::map<std::string, std::string> Solve(const std::string& problem, const std::string& seed,
                                           const std::string& flags) {
    const CommandResult run = RunMirelock(dir_, "solve " + problem + " --runs 1 --seed " + seed + " " + flags);
    EXPECT_EQ(run.status, 0) << run.err;
    return RowOf(run.out);
  }

  TempDir temp_;
  const std::string dir_ = temp_.Path();
  const fs::path examples_ = SourceDir() / "examples";
};

TEST_F(TargetRun, CostIsTheGapOrPar10OfTheSameRunSolvedByMirelockSolve) {
  // QAP: % gap to best.txt (tai12a 224416), over settings that switch on every feature.
  const std::string qapBase = Base("qap", "20");
  const std::string tai12a = (examples_ / "qap" / "tai12a.dat").string();
  // The base experiment has aspiration and random moves off; solve gets them spelled out.
  const std::pair<std::string, std::string> qapSettings[] = {
      {"--lambda 0.3 --aspiration on --sideways 7 --random-moves 0.02 --history on --decay on --decay-every 50 "
       "--decay-factor 0.9",
       "--lambda 0.3 --aspiration on --sideways 7 --random-moves 0.02 --history on --decay-every 50 --decay-factor 0.9"},
      {"--lambda 12.5 --decay off", "--lambda 12.5 --aspiration off --random-moves 0"},
  };
  for (const auto& [tuneFlags, solveFlags] : qapSettings)
    for (const char* seed : {"1", "2147483646"}) {
      const auto row = Solve(tai12a, seed, solveFlags + " --max-repairs 20");
      const double cost = std::stod(row.at("Best_cost"));
      EXPECT_DOUBLE_EQ(TuneRunCost(qapBase, tai12a, seed, tuneFlags), (cost - 224416) / 224416 * 100)
          << tuneFlags << " seed " << seed;
    }

  // TSP: % gap to best.txt (burma14 3323).
  const std::string tspBase = Base("tsp", "5");
  const std::string burma14 = (examples_ / "tsp" / "burma14.tsp").string();
  const auto tspRow = Solve(burma14, "5", "--lambda 0.2 --sideways 3 --max-repairs 5 --aspiration off");
  EXPECT_DOUBLE_EQ(TuneRunCost(tspBase, burma14, "5", "--lambda 0.2 --sideways 3"),
                   (std::stod(tspRow.at("Min_Best_Found_Solution_Cost")) - 3323) / 3323 * 100);

  // MAX-SAT: % relative error to best.txt's satisfied weight (jnh1 850).
  const std::string maxsatBase = Base("maxsat", "5");
  const std::string jnh1 = (examples_ / "maxsat" / "jnh1.sat").string();
  const auto maxsatRow = Solve(jnh1, "9", "--lambda 2 --max-repairs 5 --aspiration off");
  EXPECT_DOUBLE_EQ(TuneRunCost(maxsatBase, jnh1, "9", "--lambda 2"),
                   (850 - std::stod(maxsatRow.at("Best_Found_Solution_Max_Cost"))) / 850 * 100);

  // SAT: repairs to the solution, or 10 x the budget (1 x 20 variables) for a run without one.
  const std::string satBase = Base("sat", "1");
  const std::string uf20 = (examples_ / "sat" / "uf20-01.cnf").string();
  bool solved = false, failed = false;
  for (const char* seed : {"1", "2", "3", "4", "5", "6", "7", "8"})
    for (const char* sideways : {"0", "10"}) {
      const auto row = Solve(uf20, seed, std::string("--max-repairs 1 --aspiration off --sideways ") + sideways);
      const double cost = TuneRunCost(satBase, uf20, seed, std::string("--sideways ") + sideways);
      if (row.at("Sol_Found") == "1") {
        solved = true;
        EXPECT_EQ(cost, std::stod(row.at("Repairs_To_BestSol"))) << seed;
      } else {
        failed = true;
        EXPECT_EQ(cost, 10 * 1 * 20) << seed;
      }
    }
  EXPECT_TRUE(failed) << "no run without a solution: PAR-10 untested";
  (void)solved;
}

TEST_F(TargetRun, RefusesWhatTheExperimentDoesNotAcceptOnStandardErrorOnly) {
  const std::string base = Base("tsp", "5");
  const std::string burma14 = (examples_ / "tsp" / "burma14.tsp").string();
  for (const std::string& settings : {std::string("--history on"), std::string("--random-moves 2"),
                                      std::string("--lambda")}) {
    const CommandResult run = RunMirelock(dir_, "tune-run " + base + " 1 1 5 " + burma14 + " " + settings);
    EXPECT_NE(run.status, 0) << settings;
    EXPECT_EQ(run.out, "") << settings;  // irace must never read a message as a cost
    EXPECT_NE(run.err, "") << settings;
  }
}

}  // namespace
}  // namespace mirelock::test
