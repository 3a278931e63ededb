// Wall time of `mirelock report` on large batches whose results files are
// generated, not solved: the lines of one real solve of chr12a under every
// problem's name, so that only reading, analysing and drawing are timed.
//
//   incomplete  1,500 problems x 4 experiments = 6,000 pairs, 2 runs each, of
//               which 1,000 pairs (one per problem) lack their last line or
//               their file: the report lists them and reads the rest.
//   runs        800 problems x 4 experiments x 5 runs = 16,000 runs, all complete.
//
// The goal is under 1 second each, charts (PNG and SVG) included.
//
//   report_speed [--bin PATH/TO/mirelock] [--repeats R]
//
// The mirelock program defaults to ../cli/mirelock beside this program's folder.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "MirelockCommand.h"
#include "experiments/CMirelockDoc.h"
#include "experiments/DocumentFile.h"
#include "runner/ResultsFiles.h"

namespace fs = std::filesystem;
using bench::Quote;
using bench::Shell;
using namespace mirelock;

namespace {

struct Batch {
  const char* name;
  int problems;
  int experiments;
  int runs;
  int incompletePairs;  // pair (problem i, experiment i mod E) for i below this
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The lines of `solved` (a header and run lines of chr12a.dat) with the problem name replaced.
std::vector<std::string> Renamed(const std::vector<std::string>& solved, const std::string& problem) {
  std::vector<std::string> lines{solved.front()};
  for (std::size_t i = 1; i < solved.size(); ++i) lines.push_back(problem + solved[i].substr(solved[i].find('\t')));
  return lines;
}

// Makes the batch's document, problems, best.txt and results files under `root`; false on failure.
bool MakeBatch(const Batch& batch, const fs::path& root, const std::string& mirelock) {
  const fs::path problems = root / "problems", results = root / "results";
  fs::create_directories(problems);
  fs::create_directories(results);
  const fs::path source = fs::path(MIRELOCK_BENCH_DATA) / "qap" / "chr12a.dat";
  const std::string doc = Quote((root / "batch.mirel").string());
  if (Shell(mirelock + " doc new " + doc + " --type qap --problems " + Quote(problems.string()) + " --results " +
            Quote(results.string()) + " --seed-mode fixed --seed 21 >/dev/null") != 0)
    return false;
  for (int e = 0; e < batch.experiments; ++e)
    if (Shell(mirelock + " exp add " + doc + " --max-repairs 20 --times-n on --runs " + std::to_string(batch.runs) +
              " --lambda " + std::to_string(0.25 * (e + 1)) + " >/dev/null") != 0)
      return false;
  const fs::path solvedFile = root / "solved.txt";
  if (Shell(mirelock + " solve " + Quote(source.string()) + " --max-repairs 20 --times-n on --runs " +
            std::to_string(batch.runs) + " > " + Quote(solvedFile.string())) != 0)
    return false;
  std::vector<std::string> solved;
  std::istringstream solvedText(ReadAll(solvedFile));
  for (std::string line; std::getline(solvedText, line);) solved.push_back(line);
  if (solved.size() != static_cast<std::size_t>(batch.runs) + 1) return false;

  CMirelockDoc document;
  if (!LoadDocumentFile(document, (root / "batch.mirel").string())) return false;
  std::ofstream best(problems / "best.txt");
  for (int p = 0; p < batch.problems; ++p) {
    char name[32];
    std::snprintf(name, sizeof name, "p%05d.dat", p);
    fs::copy_file(source, problems / name);
    best << name << " 9552\n";
    const std::vector<std::string> lines = Renamed(solved, name);
    for (int e = 0; e < batch.experiments; ++e) {
      const bool incomplete = p < batch.incompletePairs && e == p % batch.experiments;
      if (incomplete && p % 2 == 0) continue;  // no results file at all
      std::ofstream out(results / GetResultsFilename(kProblemQAP, name, document.m_experiments[e]));
      for (std::size_t i = 0; i < lines.size() - (incomplete ? 1 : 0); ++i) out << lines[i] << '\n';
    }
  }
  return true;
}

// CPU seconds (user + system) of the finished child processes so far.
double ChildrenCpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double MedianReportSeconds(const fs::path& root, const std::string& mirelock, int repeats) {
  std::vector<double> times;
  for (int r = 0; r < repeats; ++r) {
    const double cpuBefore = ChildrenCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    if (Shell(mirelock + " report " + Quote((root / "batch.mirel").string()) + " --out " +
              Quote((root / "report").string()) + " >/dev/null 2>&1") != 0)
      return -1;
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    // On a loaded machine the CPU time tells the program's own cost when the wall time does not.
    std::printf("    report %d  %.2f s wall, %.2f s CPU\n", r + 1, times.back(), ChildrenCpuSeconds() - cpuBefore);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mirelock = Quote(bench::MirelockBinary(argc, argv).string());
  const int repeats = bench::CountFlag(argc, argv, "--repeats", 3);
  const Batch batches[] = {{"incomplete", 1500, 4, 2, 1000}, {"runs", 800, 4, 5, 0}};
  bool met = true;
  for (const Batch& batch : batches) {
    const fs::path root =
        fs::temp_directory_path() / ("mirelock-report-speed-" + std::to_string(::getpid()) + "-" + batch.name);
    std::printf("%s: %d problems x %d experiments x %d runs, %d incomplete pairs\n", batch.name, batch.problems,
                batch.experiments, batch.runs, batch.incompletePairs);
    if (!MakeBatch(batch, root, mirelock)) {
      std::fprintf(stderr, "could not make the batch in %s\n", root.c_str());
      return 1;
    }
    const double median = MedianReportSeconds(root, mirelock, repeats);
    fs::remove_all(root);
    if (median < 0) {
      std::fprintf(stderr, "report failed\n");
      return 1;
    }
    std::printf("  median wall time %.2f s (goal under 1 s)\n", median);
    met = met && median < 1;
  }
  return met ? 0 : 2;
}
