// Solution quality of the TSP GLS with an experiment's settings over the
// collection's TSP instances, as gaps to the best known tour lengths.
//
//   tsp_quality [max-cities] [repairs-per-city] [runs] [seed]
//
// Defaults are the default experiment (1000 repairs per city, 10 runs,
// lambda 1, aspiration off, two sideways moves, no random moves) with seed 21
// over the instances of at most 200 cities.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tsp/TSPSolver.h"

using namespace mirelock;

int main(int argc, char** argv) {
  const std::uint32_t maxCities = argc > 1 ? std::atoi(argv[1]) : 200;
  const std::uint32_t repairsPerCity = argc > 2 ? std::atoi(argv[2]) : 1000;
  const std::uint32_t runs = argc > 3 ? std::atoi(argv[3]) : 10;
  const std::uint32_t seed = argc > 4 ? std::atoi(argv[4]) : 21;
  const std::filesystem::path folder = std::filesystem::path(MIRELOCK_BENCH_DATA) / "tsp";

  std::map<std::string, double> best;
  std::ifstream bestFile(folder / "best.txt");
  std::string name;
  double value = 0;
  while (bestFile >> name >> value) best[name] = value;

  std::vector<std::pair<std::uint32_t, std::filesystem::path>> instances;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".tsp") continue;
    TSPInstance instance;
    std::ifstream in(entry.path());
    instance.Read(in);
    if (instance.Size() <= maxCities) instances.emplace_back(instance.Size(), entry.path());
  }
  std::sort(instances.begin(), instances.end());

  std::printf("%-12s %5s %10s %10s %10s %8s\n", "instance", "n", "optimum", "mean gap%", "best gap%", "secs");
  double gapSum = 0;
  for (const auto& [size, path] : instances) {
    TSPSolver solver;
    std::ifstream in(path);
    solver.GetProblem().Read(in);
    TSPParameters& parameters = solver.Parameters();
    parameters.SetMaxRepairsPerN(repairsPerCity);
    parameters.SetNumRuns(runs);
    parameters.SetLambda(1.0);
    parameters.SetRandomMoves(0.0);
    parameters.SetAspiration(false);
    parameters.SetSidewaysMoves(2);
    parameters.SetSeed(seed);
    const double optimum = best.at(path.stem().string());
    double meanGap = 0;
    double bestGap = 1e300;
    double seconds = 0;
    for (std::uint32_t run = 0; run < parameters.GetNumRuns(); ++run) {
      solver.Solve();
      const double gap = 100.0 * (solver.GetBestCost() - optimum) / optimum;
      meanGap += gap / runs;
      bestGap = std::min(bestGap, gap);
      seconds += solver.Stats().DurationSeconds();
    }
    gapSum += meanGap;
    std::printf("%-12s %5u %10.0f %10.3f %10.3f %8.1f\n", path.stem().c_str(), size, optimum, meanGap,
                bestGap, seconds);
    std::fflush(stdout);
  }
  std::printf("overall mean gap over %zu instances: %.3f%%\n", instances.size(), gapSum / instances.size());
  return 0;
}
