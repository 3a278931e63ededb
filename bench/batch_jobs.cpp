// Wall time of one batch run with --jobs 1 and with --jobs 2: 18 CPU-bound
// pairs of similar size (the three bundled QAP problems of size 12, six
// experiments that differ only in lambda), each variant run several times
// alternately, so that load from elsewhere on the machine hits both alike.
//
//   batch_jobs [--bin PATH/TO/mirelock] [--repeats R] [--repairs K]
//
// The mirelock program defaults to ../cli/mirelock beside this program's folder.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "MirelockCommand.h"

namespace fs = std::filesystem;
using bench::Quote;
using bench::Shell;

namespace {

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path bin = bench::MirelockBinary(argc, argv);
  const int repeats = bench::CountFlag(argc, argv, "--repeats", 3);
  const int repairs = bench::CountFlag(argc, argv, "--repairs", 8000);
  // MIRELOCK_BENCH_DATA is the source folder followed by "/../shared/bench".
  const fs::path sourceDir = fs::path(MIRELOCK_BENCH_DATA).parent_path().parent_path().parent_path();
  const fs::path problems = sourceDir / "examples" / "qap";
  const fs::path root = fs::temp_directory_path() / ("mirelock-batch-jobs-" + std::to_string(::getpid()));
  fs::create_directories(root / "results");
  const std::string doc = (root / "batch.mirel").string();
  const std::string mirelock = Quote(bin.string());
  if (Shell(mirelock + " doc new " + Quote(doc) + " --type qap --problems " + Quote(problems.string()) +
            " --results " + Quote((root / "results").string()) + " --seed-mode fixed --seed 21 >/dev/null") !=
      0)
    return 1;
  for (int e = 1; e <= 6; ++e)
    Shell(mirelock + " exp add " + Quote(doc) + " --max-repairs " + std::to_string(repairs) +
          " --times-n on --runs 2 --lambda " + std::to_string(e) + " >/dev/null");

  std::printf("batch: 3 QAP problems x 6 experiments = 18 pairs, %d*N repairs, 2 runs each\n", repairs);
  std::vector<double> times[2];
  for (int r = 0; r < repeats; ++r) {
    for (int jobs : {1, 2}) {
      fs::remove_all(root / "results");
      fs::create_directories(root / "results");
      const auto start = std::chrono::steady_clock::now();
      if (Shell(mirelock + " run " + Quote(doc) + " --jobs " + std::to_string(jobs) + " 2>/dev/null") != 0) {
        std::fprintf(stderr, "batch run failed\n");
        return 1;
      }
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      times[jobs - 1].push_back(seconds);
      std::printf("  run %d  --jobs %d  %.2f s\n", r + 1, jobs, seconds);
    }
  }
  const double one = Median(times[0]);
  const double two = Median(times[1]);
  std::printf("median wall time: --jobs 1 %.2f s, --jobs 2 %.2f s, ratio %.2f (goal at most 0.60)\n", one,
              two, two / one);
  fs::remove_all(root);
  return two / one <= 0.6 ? 0 : 2;
}
