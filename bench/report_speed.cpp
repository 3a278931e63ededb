// Wall time of `mirelock report` on a real batch: ten QAPLIB instances of
// sizes 12 to 16 with their best known costs, three experiments differing in
// lambda, five runs each (150 runs). The goal is under 2 seconds, charts
// (PNG and SVG) included.
//
//   report_speed [--bin PATH/TO/mirelock] [--repeats R]
//
// The mirelock program defaults to ../cli/mirelock beside this program's folder.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "MirelockCommand.h"

namespace fs = std::filesystem;
using bench::Quote;
using bench::Shell;

namespace {

const char* const kProblems[] = {"chr12a", "chr15a", "esc16a", "had12",  "had14",
                                 "nug12",  "nug15",  "rou12",  "scr12", "tai12a"};

}  // namespace

int main(int argc, char** argv) {
  const fs::path bin = bench::MirelockBinary(argc, argv);
  const int repeats = bench::CountFlag(argc, argv, "--repeats", 5);
  const fs::path bench = fs::path(MIRELOCK_BENCH_DATA) / "qap";
  const fs::path root = fs::temp_directory_path() / ("mirelock-report-speed-" + std::to_string(::getpid()));
  fs::create_directories(root / "results");
  fs::create_directories(root / "problems");
  {
    std::ifstream allBest(bench / "best.txt");
    std::ofstream best(root / "problems" / "best.txt");
    std::vector<std::string> wanted;
    for (const char* name : kProblems) {
      fs::copy(bench / (std::string(name) + ".dat"), root / "problems");
      wanted.push_back(std::string(name) + ".dat");
    }
    for (std::string line; std::getline(allBest, line);)
      if (std::find(wanted.begin(), wanted.end(), line.substr(0, line.find_first_of(" \t"))) != wanted.end())
        best << line << "\n";
  }
  const std::string doc = Quote((root / "batch.mirel").string());
  const std::string mirelock = Quote(bin.string());
  if (Shell(mirelock + " doc new " + doc + " --type qap --problems " + Quote((root / "problems").string()) +
            " --results " + Quote((root / "results").string()) + " --seed-mode fixed --seed 21 >/dev/null") != 0)
    return 1;
  for (const char* lambda : {"0.1", "0.5", "2"})
    Shell(mirelock + " exp add " + doc + " --max-repairs 300 --times-n on --runs 5 --lambda " + lambda + " >/dev/null");
  if (Shell(mirelock + " run " + doc + " --jobs 2 2>/dev/null") != 0) {
    std::fprintf(stderr, "batch run failed\n");
    return 1;
  }

  std::printf("report: 10 QAP problems x 3 experiments x 5 runs\n");
  std::vector<double> times;
  for (int r = 0; r < repeats; ++r) {
    const auto start = std::chrono::steady_clock::now();
    if (Shell(mirelock + " report " + doc + " --out " + Quote((root / "report").string()) + " >/dev/null") != 0) {
      std::fprintf(stderr, "report failed\n");
      return 1;
    }
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    std::printf("  report %d  %.2f s\n", r + 1, times.back());
  }
  std::sort(times.begin(), times.end());
  const double median = times[times.size() / 2];
  std::printf("median wall time %.2f s (goal under 2 s)\n", median);
  fs::remove_all(root);
  return median < 2 ? 0 : 2;
}
