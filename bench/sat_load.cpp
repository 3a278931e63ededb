// Load time of a 1,000,000-clause random 3-SAT CNF file (generated here in
// the temporary directory, removed afterwards) into a SATProblem, and the
// time to build the search's flat arrays from it.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Clock.h"
#include "platform/Random.h"
#include "sat/FlatFormula.h"
#include "sat/SATProblem.h"

using namespace mirelock;

int main() {
  constexpr int kVariables = 240000;
  constexpr int kClauses = 1000000;
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "mirelock-sat-load-1M.cnf";
  {
    std::ofstream out(path);
    out << "c random 3-SAT for the load benchmark\np cnf " << kVariables << ' ' << kClauses << '\n';
    SeedRandom(1);
    for (int c = 0; c < kClauses; ++c) {
      for (int k = 0; k < 3; ++k) {
        const int v = (Random() * 32768 + Random()) % kVariables + 1;
        out << (Random() % 2 ? v : -v) << ' ';
      }
      out << "0\n";
    }
  }
  const auto bytes = std::filesystem::file_size(path);
  double best = 1e9;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const auto start = std::chrono::steady_clock::now();
    const long cpuStart = ClockMilliseconds();
    SATProblem problem;
    problem.ReadFile(path.string());
    const auto loaded = std::chrono::steady_clock::now();
    const double cpu = static_cast<double>(ClockMilliseconds() - cpuStart) * 0.001;
    FlatFormula formula;
    formula.Build(problem);
    const auto built = std::chrono::steady_clock::now();
    const double load = std::chrono::duration<double>(loaded - start).count();
    std::printf("load %.3f s wall, %.3f s CPU (%zu variables, %zu clauses, %.1f MB), flat arrays %.3f s\n",
                load, cpu, problem.NumVariables(), problem.NumClauses(), static_cast<double>(bytes) / 1e6,
                std::chrono::duration<double>(built - loaded).count());
    best = std::min(best, cpu);
  }
  std::printf("best load time %.3f s of CPU\n", best);
  std::filesystem::remove(path);
  return 0;
}
