// Moves (repairs) per second of the QAP solver, CPU time, Release build.
//   qap_moves              tai12a, nug30, tai50a, tai100a/sko100a and a generated n = 256
//   qap_moves NAME|256     one instance; prints the peak resident memory too
//   qap_moves NAME:wide    the same instance searched in 64-bit arithmetic, to compare the two paths
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "qap/QAPSolver.h"

using namespace mirelock;

namespace {

const std::string kFolder = std::string(MIRELOCK_BENCH_DATA) + "/qap/";

// Taillard-style uniform instance: symmetric distances and flows in 0..99,
// zero diagonals (tai256c itself is not in the collection).
void Generate(QAPProblem& problem, unsigned n) {
  std::vector<std::int32_t> a(n * n, 0), b(n * n, 0);
  std::uint64_t state = 256;
  auto next = [&state] {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::int32_t>((state >> 33) % 100);
  };
  for (unsigned i = 0; i < n; ++i)
    for (unsigned j = i + 1; j < n; ++j) {
      a[i * n + j] = a[j * n + i] = next();
      b[i * n + j] = b[j * n + i] = next();
    }
  problem.Assign(n, a, b);
}

long PeakResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

void Measure(std::string name) {
  const std::string wideSuffix = ":wide";
  const bool forceWide = name.size() > wideSuffix.size() && name.ends_with(wideSuffix);
  if (forceWide) name.resize(name.size() - wideSuffix.size());
  QAPSolver solver;
  if (name == "256") {
    Generate(solver.Problem(), 256);
  } else {
    std::ifstream in(kFolder + name);
    if (!in) {
      std::printf("%-12s missing\n", name.c_str());
      return;
    }
    solver.Problem().Read(in);
  }
  if (forceWide) solver.Problem().ForceWideArithmetic();
  const unsigned n = solver.Problem().Size();
  SolverParameters& p = solver.GetParameters();
  // Enough moves for about a second of search at each size.
  const unsigned repairs = n <= 12 ? 400000 : n <= 30 ? 200000 : n <= 50 ? 100000 : n <= 100 ? 30000 : 4000;
  p.SetMaxRepairs(repairs);
  p.SetNumRuns(1);
  p.SetAspiration(false);
  p.SetSidewaysMoves(2);
  p.SetSeed(21);
  const long start = ClockMilliseconds();
  solver.Solve();
  const double seconds = (ClockMilliseconds() - start) * 0.001;
  const unsigned made = solver.Stats().Repairs();
  std::printf("%-12s n=%3u  %2s-bit  %8u moves  %7.3f s  %10.0f moves/s\n", name.c_str(), n,
              solver.UsesWideArithmetic() ? "64" : "32", made, seconds, made / seconds);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) {
    for (int i = 1; i < argc; ++i) Measure(argv[i]);
    std::printf("peak resident memory %ld kB\n", PeakResidentKb());
    return 0;
  }
  for (const char* name : {"tai12a.dat", "nug30.dat", "tai50a.dat", "sko100a.dat", "tai80b.dat", "256"})
    Measure(name);
  return 0;
}
