// Moves per second of the TSP GLS search, and the peak memory of the process.
//
//   tsp_speed [seconds-per-instance] [instance ...]
//
// Each instance (a file name in the collection's tsp folder) is solved for
// about the given CPU time with the default experiment (lambda 1, two
// sideways moves, no random moves), once without and once with aspiration.
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "tsp/TSPSolver.h"

using namespace mirelock;

namespace {

double MovesPerSecond(const std::string& path, bool aspiration, double seconds, std::uint32_t* size) {
  // A short calibration run sets the repair limit for the timed run.
  std::uint32_t repairs = 200;
  for (;;) {
    TSPSolver solver;
    std::ifstream in(path);
    solver.GetProblem().Read(in);
    *size = solver.Instance().Size();
    TSPParameters& parameters = solver.Parameters();
    parameters.SetMaxRepairs(repairs);
    parameters.SetLambda(1.0);
    parameters.SetAspiration(aspiration);
    parameters.SetSidewaysMoves(2);
    parameters.SetSeed(21);
    const long start = ClockMilliseconds();
    solver.Solve();
    const double used = (ClockMilliseconds() - start) * 0.001;
    if (used >= seconds * 0.8 || repairs >= 100000000) return solver.Stats().Repairs() / used;
    const double scale = used > 0.05 ? seconds / used : 10.0;
    repairs = static_cast<std::uint32_t>(repairs * std::min(scale, 10.0));
  }
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
  std::vector<std::string> names;
  for (int k = 2; k < argc; ++k) names.push_back(argv[k]);
  if (names.empty()) names = {"eil51", "kroA100", "ch150", "pr439", "rat783", "pr1002"};

  std::printf("%-10s %6s %14s %14s %14s %12s\n", "instance", "n", "pairs/move", "moves/s", "moves/s asp",
              "ns/pair");
  for (const std::string& name : names) {
    const std::string path = std::string(MIRELOCK_BENCH_DATA) + "/tsp/" + name + ".tsp";
    std::uint32_t n = 0;
    const double plain = MovesPerSecond(path, false, seconds, &n);
    const double withAspiration = MovesPerSecond(path, true, seconds, &n);
    const double pairs = (static_cast<double>(n) - 1) * (n - 2) / 2 - 1;
    std::printf("%-10s %6u %14.0f %14.0f %14.0f %12.3f\n", name.c_str(), n, pairs, plain, withAspiration,
                1e9 / (plain * pairs));
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak resident memory: %.1f MB\n", usage.ru_maxrss / 1024.0);
  return 0;
}
