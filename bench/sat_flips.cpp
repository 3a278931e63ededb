// Flips per second of the GLSSAT search over a full repair budget, on a
// satisfiable uf250 instance set, an unsatisfiable uuf250 instance and a
// weighted jnh instance. Prints one line per instance.
//
//   sat_flips [--pick best|recency] [uuf250-01|jnh11-rw|uf250]...
//
// With no names, all three workloads run, each with both pick heuristics.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "sat/GLSSATSolver.h"

using namespace mirelock;

namespace {

struct Result {
  std::uint64_t flips = 0;
  double seconds = 0.0;
  double cpuSeconds = 0.0;
};

Result Run(const std::string& path, bool weighted, unsigned repairs, unsigned runs, bool history) {
  GLSSATSolver solver;
  solver.SetWeighted(weighted);
  solver.Problem().ReadFile(path);
  GLSSATParameters& parameters = solver.Parameters();
  parameters.SetMaxRepairs(repairs);
  parameters.SetHistory(history);
  parameters.targetCost = 0;
  Result result;
  for (unsigned run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const long cpuStart = ClockMilliseconds();
    solver.Solve();
    result.cpuSeconds += static_cast<double>(ClockMilliseconds() - cpuStart) * 0.001;
    result.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.flips += solver.Stats().Repairs();
  }
  return result;
}

void Report(const char* label, const Result& result) {
  std::printf("%-28s %10llu flips  wall %7.3f s  CPU %7.3f s  %6.2f M flips/s of CPU\n", label,
              static_cast<unsigned long long>(result.flips), result.seconds, result.cpuSeconds,
              static_cast<double>(result.flips) / result.cpuSeconds / 1e6);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string bench = MIRELOCK_BENCH_DATA;
  std::vector<bool> heuristics = {false, true};
  std::vector<std::string> only;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--pick") == 0 && i + 1 < argc) {
      const std::string pick = argv[++i];
      if (pick != "best" && pick != "recency") {
        std::fprintf(stderr, "sat_flips: --pick takes best or recency, not '%s'\n", pick.c_str());
        return 1;
      }
      heuristics = {pick == "recency"};
    } else if (std::strcmp(argv[i], "uuf250-01") == 0 || std::strcmp(argv[i], "jnh11-rw") == 0 ||
               std::strcmp(argv[i], "uf250") == 0) {
      only.push_back(argv[i]);
    } else {
      std::fprintf(stderr, "sat_flips: unknown argument '%s'\n", argv[i]);
      return 1;
    }
  }
  const auto wanted = [&only](const char* name) {
    return only.empty() || std::find(only.begin(), only.end(), name) != only.end();
  };
  for (bool history : heuristics) {
    std::printf("pick heuristic: %s\n", history ? "recency (history on)" : "best (history off)");
    // An unsatisfiable instance never stops early: every run uses its whole budget.
    if (wanted("uuf250-01"))
      Report("uuf250-01 (3 x 10^7)", Run(bench + "/sat/uuf250-01.cnf", false, 10000000, 3, history));
    // Weighted jnh11 has optimum 128 > 0, so the runs also use their whole budget.
    if (wanted("jnh11-rw"))
      Report("jnh11-rw (3 x 10^7)", Run(bench + "/maxsat/jnh11-rw.sat", true, 10000000, 3, history));
    if (!wanted("uf250")) continue;
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(bench + "/sat"))
      if (entry.path().filename().string().rfind("uf250-", 0) == 0) files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    files.resize(std::min<std::size_t>(files.size(), 10));
    Result uf;
    for (const std::string& file : files) {
      const Result one = Run(file, false, 10000000, 1, history);
      uf.flips += one.flips;
      uf.seconds += one.seconds;
      uf.cpuSeconds += one.cpuSeconds;
    }
    Report("10 uf250 (to solution)", uf);
  }
  return 0;
}
