// The TSP fast local search on large instances: CPU seconds and peak memory to
// read the file, build the neighbour lists and descend from a random tour to
// the first local optimum, then moves per second in the GLS phase.
//
//   tsp_scale [K] [gls-seconds] [instance ...]
//
// K defaults to 10, the GLS phase to 5 CPU seconds; instances are file names
// in the collection's tsp or tsp-large folder (default: pr2392, fnl4461,
// brd14051, pla33810, pla85900). Each instance runs in a process of its own,
// so that the peak resident memory reported is that instance's alone.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/Random.h"
#include "tsp/CityDistances.h"
#include "tsp/FastLocalSearch.h"
#include "tsp/NeighbourLists.h"
#include "tsp/TSPSolver.h"

using namespace mirelock;

namespace {

double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

std::string Find(const std::string& name) {
  for (const char* folder : {"/tsp/", "/tsp-large/"}) {
    const std::string path = std::string(MIRELOCK_BENCH_DATA) + folder + name;
    if (std::ifstream(path).good()) return path;
  }
  return "";
}

std::map<std::string, double> Optima() {
  std::map<std::string, double> optima;
  for (const char* folder : {"/tsp/best.txt", "/tsp-large/best.txt"}) {
    std::ifstream in(std::string(MIRELOCK_BENCH_DATA) + folder);
    std::string name;
    double cost = 0;
    while (in >> name >> cost) optima[name.substr(0, name.find('.'))] = cost;
  }
  return optima;
}

void Measure(const std::string& name, std::uint32_t k, double glsSeconds) {
  const std::string path = Find(name);
  if (path.empty()) {
    std::printf("%-12s not found\n", name.c_str());
    return;
  }
  double t = CpuSeconds();
  TSPSolver solver;
  std::ifstream in(path);
  solver.GetProblem().Read(in);
  const double readSeconds = CpuSeconds() - t;
  const std::uint32_t n = solver.Instance().Size();

  t = CpuSeconds();
  {
    NeighbourLists lists;
    lists.Build(CityDistances(solver.Instance()), k);
  }
  const double listSeconds = CpuSeconds() - t;

  TSPParameters& parameters = solver.Parameters();
  parameters.SetNeighbourhood(k);
  parameters.SetAspiration(false);
  parameters.SetSidewaysMoves(2);
  parameters.SetLambda(1.0);
  SeedRandom(21);
  t = CpuSeconds();
  solver.InitialSolution();  // builds the neighbour lists again, inside the search
  solver.ResetPenalties();
  solver.Evaluate();
  solver.StartRun();
  const std::int64_t initialCost = solver.Fast()->Cost();
  solver.LocalSearch();
  const double descentSeconds = CpuSeconds() - t;
  const std::uint32_t descentMoves = solver.Stats().Repairs();
  const std::int64_t optimumCost = solver.Fast()->Cost();

  t = CpuSeconds();
  const std::uint32_t before = solver.Stats().Repairs();
  while (CpuSeconds() - t < glsSeconds) {
    solver.Penalise();
    solver.LocalSearch();
  }
  const double glsUsed = CpuSeconds() - t;
  const double glsMoves = solver.Stats().Repairs() - before;
  const std::int64_t glsBest = solver.Fast()->BestCost();
  const std::int64_t tourCheck = solver.Fast()->Distances().TourCost(solver.GetBestTour());

  const auto optima = Optima();
  const auto known = optima.find(name.substr(0, name.find('.')));
  const double optimum = known == optima.end() ? 0 : known->second;
  const auto excess = [optimum](std::int64_t cost) { return optimum > 0 ? 100.0 * (cost - optimum) / optimum : 0.0; };
  std::printf("%-12s %6u %6.2f %6.2f %7.2f %9u %7.2f%% %9.0f %7.2f%% %7.0f %s\n", name.c_str(), n, readSeconds,
              listSeconds, descentSeconds, descentMoves, excess(optimumCost), glsMoves / glsUsed, excess(glsBest),
              PeakMegabytes(), tourCheck == glsBest ? "" : "BEST TOUR DISAGREES");
  (void)initialCost;
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint32_t k = argc > 1 ? static_cast<std::uint32_t>(std::atoi(argv[1])) : 10;
  const double glsSeconds = argc > 2 ? std::atof(argv[2]) : 5.0;
  std::vector<std::string> names;
  for (int i = 3; i < argc; ++i) names.push_back(argv[i]);
  if (names.empty()) names = {"pr2392.tsp", "fnl4461.tsp", "brd14051.tsp", "pla33810.tsp", "pla85900.tsp"};

  std::printf("K = %u, GLS phase %.0f CPU s; CPU seconds: read, neighbour lists, descent to the first local optimum\n",
              k, glsSeconds);
  std::printf("%-12s %6s %6s %6s %7s %9s %8s %9s %8s %7s\n", "instance", "n", "read", "lists", "descent", "moves",
              "excess", "GLS mv/s", "GLS best", "peakMB");
  for (const std::string& name : names) {
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
      Measure(name, k, glsSeconds);
      std::fflush(stdout);
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::printf("%-12s failed (status %d)\n", name.c_str(), status);
  }
  return 0;
}
