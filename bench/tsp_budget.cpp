// The repair limit that makes one TSP run last a given CPU time, for turning
// a CPU budget into the limit an experiment stores (experiments have no time
// limit, so that their rows stay reproducible).
//
//   tsp_budget CPU-SECONDS K FILE.tsp ...
//
// K = 0 is the full 2-opt scan, otherwise fast local search over K nearest
// neighbours. Settings as bench/tsp_quality_batches uses them: lambda
// coefficient 1, aspiration, two sideways moves, random moves with
// probability 0.05, seed 21.
// A run with a time limit reads the clock at every move and so runs slower
// than a batch run; the calibration therefore runs repair limits only: it
// doubles the limit until a run takes a fortieth of the budget (at least
// half a second), runs twice that limit, and extrapolates the rate between the two (the
// same seed makes the shorter run a prefix of the longer, so a slow first
// descent is counted once). Prints one line per instance: its file name, the
// repair limit, and the two calibration points.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tsp/TSPSolver.h"

using namespace mirelock;

namespace {

double SecondsFor(TSPSolver& solver, std::uint32_t repairs) {
  solver.Parameters().SetMaxRepairs(repairs);
  solver.Solve();
  return solver.Stats().ElapsedSeconds();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: tsp_budget CPU-SECONDS K FILE.tsp ...\n");
    return 2;
  }
  const double seconds = std::atof(argv[1]);
  const std::uint32_t k = static_cast<std::uint32_t>(std::atoi(argv[2]));
  const double calibration = std::max(0.5, seconds / 40);
  for (int i = 3; i < argc; ++i) {
    TSPSolver solver;
    std::ifstream in(argv[i]);
    solver.GetProblem().Read(in);
    TSPParameters& p = solver.Parameters();
    p.SetAspiration(true);
    p.SetSidewaysMoves(2);
    p.SetRandomMoves(0.05);
    p.SetLambda(1.0);
    p.SetSeed(21);
    if (k > 0) p.SetNeighbourhood(k);
    std::uint32_t r1 = 10000;
    double t1 = SecondsFor(solver, r1);
    while (t1 < calibration && r1 < 1000000000u) t1 = SecondsFor(solver, r1 *= 2);
    const std::uint32_t r2 = 2 * r1;
    const double t2 = SecondsFor(solver, r2);
    const double rate = (r2 - r1) / std::max(t2 - t1, 1e-3);
    const double limit = std::min(4e9, r2 + rate * (seconds - t2));
    const std::string path = argv[i];
    std::printf("%s %.0f %u %.2f %u %.2f\n", path.substr(path.rfind('/') + 1).c_str(), limit, r1, t1, r2, t2);
    std::fflush(stdout);
  }
  return 0;
}
