// The full 2-opt scan against fast local search at equal CPU time: the mean
// excess of the best tour over the optimum, per instance and in all.
//
//   tsp_fls_quality [--fast-only] [cpu-seconds-per-run] [runs] [K] [instance ...]
//
// An instance is a name in the collection's tsp folder (att48) or a path to a
// .tsp file whose folder holds its best.txt (../shared/bench/tsp-large/
// pla7397.tsp); --fast-only leaves out the full scan, which cannot hold the
// matrices of the largest ones.
// Defaults: 5 CPU seconds, 3 runs (seeds 21 x run), K = 10, and a few
// instances of 48 to 1002 cities from the collection's tsp folder. Both use
// the default lambda rule (coefficient 1), no aspiration, two sideways moves
// and no random moves; a run ends at its CPU time limit.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tsp/FastLocalSearch.h"
#include "tsp/TSPSolver.h"

using namespace mirelock;

namespace {

// The optimum of each instance named in the best.txt beside `path`, by name without extension.
void ReadOptima(const std::string& folder, std::map<std::string, double>& optimum) {
  std::ifstream bestFile(folder + "best.txt");
  std::string name;
  double cost = 0;
  while (bestFile >> name >> cost) optimum[name.substr(0, name.find('.'))] = cost;
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  const bool fastOnly = argc > 1 && std::string(argv[1]) == "--fast-only";
  if (fastOnly) ++first;
  const std::uint32_t seconds = argc > first ? std::atoi(argv[first]) : 5;
  const std::uint32_t runs = argc > first + 1 ? std::atoi(argv[first + 1]) : 3;
  const std::uint32_t k = argc > first + 2 ? std::atoi(argv[first + 2]) : 10;
  std::vector<std::string> names;
  for (int i = first + 3; i < argc; ++i) names.push_back(argv[i]);
  if (names.empty()) names = {"att48", "kroA100", "ch150", "pr439", "rat575", "pr1002"};
  const std::string collection = std::string(MIRELOCK_BENCH_DATA) + "/tsp/";

  std::map<std::string, double> optimum;
  ReadOptima(collection, optimum);

  std::printf("%u CPU s per run, %u runs, K = %u: mean excess over the optimum (%%), runs at the optimum\n",
              seconds, runs, k);
  std::printf("%-10s %12s %12s\n", "instance", "full scan", "fast");
  double sums[2] = {0, 0};
  for (std::string instance : names) {
    std::string path = collection + instance + ".tsp";
    if (const auto slash = instance.rfind('/'); slash != std::string::npos) {
      path = instance;
      ReadOptima(instance.substr(0, slash + 1), optimum);
      instance = instance.substr(slash + 1);
      instance = instance.substr(0, instance.find('.'));
    }
    std::printf("%-10s", instance.c_str());
    for (int variant = fastOnly ? 1 : 0; variant < 2; ++variant) {
      TSPSolver solver;
      std::ifstream in(path);
      solver.GetProblem().Read(in);
      TSPParameters& p = solver.Parameters();
      p.SetAspiration(false);
      p.SetSidewaysMoves(2);
      p.SetLambda(1.0);
      p.SetMaxSeconds(seconds);
      p.SetMaxRepairs(4000000000u);
      p.SetSeed(21);
      if (variant == 1) p.SetNeighbourhood(k);
      double excess = 0;
      int optimal = 0;
      for (std::uint32_t run = 0; run < runs; ++run) {
        solver.Solve();
        const double best = variant == 1 ? static_cast<double>(solver.Fast()->BestCost()) : solver.GetBestCost();
        excess += 100.0 * (best - optimum[instance]) / optimum[instance];
        optimal += best == optimum[instance];
      }
      std::printf(" %8.3f %3d", excess / runs, optimal);
      sums[variant] += excess / runs;
      std::fflush(stdout);
    }
    std::printf("\n");
  }
  std::printf("%-10s %8.3f     %8.3f\n", "mean", sums[0] / names.size(), sums[1] / names.size());
  return 0;
}
