// Moves per second of the TSP GLS search, and the peak memory of the process.
//
//   tsp_speed [seconds-per-instance] [instance ...]
//
// Each instance (a file name in the collection's tsp folder) is solved for
// about the given CPU time with the default experiment (lambda 1, two
// sideways moves, no random moves), once without and once with aspiration.
// The evaluation computes again only the values a move changed, so ns/pair
// is the time of an evaluation spread over the whole neighbourhood, not the
// cost of one computed value.
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

// Also reports the neighbourhood evaluations per move: one after each move,
// and one more after each penalisation (two at the first local minimum).
double MovesPerSecond(const std::string& path, bool aspiration, double seconds, std::uint32_t* size,
                      double* evaluationsPerMove) {
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
    if (used >= seconds * 0.8 || repairs >= 100000000) {
      *evaluationsPerMove =
          1.0 + static_cast<double>(solver.Stats().LocalMinima()) / solver.Stats().Repairs();
      return solver.Stats().Repairs() / used;
    }
    const double scale = used > 0.05 ? seconds / used : 10.0;
    repairs = static_cast<std::uint32_t>(repairs * std::min(scale, 10.0));
  }
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
  std::vector<std::string> names;
  for (int k = 2; k < argc; ++k) names.push_back(argv[k]);
  if (names.empty()) names = {"eil51", "kroA100", "ch150", "pr439", "u724", "pr1002"};

  std::printf("%-10s %6s %12s %10s %10s %12s %10s %10s\n", "instance", "n", "pairs/eval", "moves/s",
              "evals/move", "ns/pair", "asp mov/s", "evals/move");
  for (const std::string& name : names) {
    const std::string path = std::string(MIRELOCK_BENCH_DATA) + "/tsp/" + name + ".tsp";
    if (!std::ifstream(path).is_open()) {
      std::fprintf(stderr, "%s: cannot open\n", path.c_str());
      return 1;
    }
    std::uint32_t n = 0;
    double evaluations = 0;
    double aspirationEvaluations = 0;
    const double plain = MovesPerSecond(path, false, seconds, &n, &evaluations);
    const double withAspiration = MovesPerSecond(path, true, seconds, &n, &aspirationEvaluations);
    const double pairs = (static_cast<double>(n) - 1) * (n - 2) / 2 - 1;
    std::printf("%-10s %6u %12.0f %10.0f %10.2f %12.3f %10.0f %10.2f\n", name.c_str(), n, pairs, plain,
                evaluations, 1e9 / (plain * evaluations * pairs), withAspiration, aspirationEvaluations);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak resident memory: %.1f MB\n", usage.ru_maxrss / 1024.0);
  return 0;
}
