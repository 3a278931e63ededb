// Solve rates of the GLSSAT search over the benchmark collection.
//   sat_quality default FAMILY [INSTANCES] [RUNS]   default experiment (lambda 1, 2 sideways,
//                                                   history off, 1000 repairs per variable)
//   sat_quality glssat2 FAMILY [INSTANCES] [RUNS]   GLSSAT2 preset, 40000 repairs per variable
//   sat_quality jnh [RUNS]                          default experiment on every jnh file,
//                                                   best satisfied weight against best.txt
// FAMILY is a file-name prefix in the sat folder (uf20-, uf50-, uf100-, uf250-).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "sat/GLSSATSolver.h"

using namespace mirelock;

namespace {

std::vector<std::string> Files(const std::string& folder, const std::string& prefix,
                               const std::string& extension) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(prefix, 0) == 0 && entry.path().extension() == extension)
      files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

void Configure(GLSSATParameters& parameters, bool glssat2, unsigned runs) {
  parameters.SetNumRuns(runs);
  parameters.SetLambda(1.0);
  parameters.SetRandomMoves(0.0);
  parameters.SetAspiration(false);
  if (glssat2) {
    parameters.SetMaxRepairsPerN(40000);
    parameters.SetHistory(true);
    parameters.SetPenaltyDecay(200, 0.8);
    parameters.SetSidewaysMoves(20);
  } else {
    parameters.SetMaxRepairsPerN(1000);
    parameters.SetHistory(false);
    parameters.SetSidewaysMoves(2);
  }
  parameters.SetSeed(21);
}

int SolveRates(bool glssat2, const std::string& family, std::size_t instances, unsigned runs) {
  std::vector<std::string> files = Files(std::string(MIRELOCK_BENCH_DATA) + "/sat", family, ".cnf");
  if (files.size() > instances) files.resize(instances);
  std::vector<std::uint64_t> flipsToSolution;
  unsigned solved = 0, total = 0;
  for (const std::string& file : files) {
    GLSSATSolver solver;
    solver.Problem().ReadFile(file);
    Configure(solver.Parameters(), glssat2, runs);
    unsigned solvedHere = 0;
    for (unsigned run = 0; run < runs; ++run) {
      solver.Solve();
      ++total;
      if (solver.Stats().SolutionFound()) {
        ++solved;
        ++solvedHere;
        flipsToSolution.push_back(solver.Stats().RepairsToBest());
      }
    }
    if (solvedHere < runs) std::printf("  %s: %u of %u runs solved\n", file.c_str(), solvedHere, runs);
  }
  std::sort(flipsToSolution.begin(), flipsToSolution.end());
  const auto median = flipsToSolution.empty() ? 0 : flipsToSolution[flipsToSolution.size() / 2];
  std::printf("%s %s: %zu instances, %u of %u runs solved (%.1f%%), median flips to solution %llu\n",
              glssat2 ? "GLSSAT2" : "default", family.c_str(), files.size(), solved, total,
              total ? 100.0 * solved / total : 0.0, static_cast<unsigned long long>(median));
  return 0;
}

int WeightedOptimum(unsigned runs) {
  const std::string folder = std::string(MIRELOCK_BENCH_DATA) + "/maxsat";
  std::map<std::string, std::uint64_t> optimum;  // best satisfied weight
  std::ifstream best(folder + "/best.txt");
  std::string line;
  std::getline(best, line);
  while (std::getline(best, line)) {
    std::istringstream fields(line);
    std::string name;
    std::uint64_t unsat = 0, sat = 0, total = 0;
    if (fields >> name >> unsat >> sat >> total) optimum[name] = sat;
  }
  unsigned reached = 0, total = 0;
  for (const std::string& file : Files(folder, "jnh", ".sat")) {
    const std::string name = std::filesystem::path(file).filename().string();
    GLSSATSolver solver;
    solver.SetWeighted(true);
    solver.Problem().ReadFile(file);
    Configure(solver.Parameters(), false, runs);
    unsigned reachedHere = 0;
    for (unsigned run = 0; run < runs; ++run) {
      solver.Solve();
      ++total;
      if (solver.Stats().BestSatisfiedWeight() >= optimum[name]) ++reachedHere;
    }
    reached += reachedHere;
    if (reachedHere < runs)
      std::printf("  %s: %u of %u runs reached %llu\n", name.c_str(), reachedHere, runs,
                  static_cast<unsigned long long>(optimum[name]));
  }
  std::printf("jnh: %u of %u runs reached the best.txt optimum (%.1f%%)\n", reached, total,
              total ? 100.0 * reached / total : 0.0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "default";
  if (mode == "jnh") return WeightedOptimum(argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 10);
  if ((mode == "default" || mode == "glssat2") && argc > 2) {
    const std::size_t instances = argc > 3 ? static_cast<std::size_t>(std::atol(argv[3])) : 1000;
    const unsigned runs = argc > 4 ? static_cast<unsigned>(std::atoi(argv[4])) : 10;
    return SolveRates(mode == "glssat2", argv[2], instances, runs);
  }
  std::fprintf(stderr, "usage: sat_quality default|glssat2 FAMILY [INSTANCES] [RUNS] | jnh [RUNS]\n");
  return 1;
}
