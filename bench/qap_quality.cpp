// Search quality of the QAP solver over the benchmark collection, with the
// default experiment (1000 repairs per N, 10 runs, seed 21, no aspiration).
//   qap_quality quality   nug*, tai*a, sko* up to n = 100: gaps to best.txt
//   qap_quality wide      tai*b: best costs checked against a 64-bit recount
//   qap_quality NAME...   the named instances
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/FatalError.h"
#include "qap/QAPSolver.h"

using namespace mirelock;

namespace {

const std::string kFolder = std::string(MIRELOCK_BENCH_DATA) + "/qap/";

std::map<std::string, double> ReadBest() {
  std::map<std::string, double> best;
  std::ifstream in(kFolder + "best.txt");
  std::string line;
  while (std::getline(in, line)) {
    std::string name, rest;
    std::istringstream fields(line);
    fields >> name;
    std::getline(fields, rest);
    // "[lower upper]" gives the best known solution as its upper value.
    std::replace(rest.begin(), rest.end(), '[', ' ');
    std::replace(rest.begin(), rest.end(), ']', ' ');
    std::istringstream values(rest);
    double value = 0, upper = 0;
    values >> value;
    if (values >> upper) value = upper;
    best[name] = value;
  }
  return best;
}

struct Outcome {
  std::vector<long long> costs;
  bool recountOk = true;
  bool wide = false;
  unsigned n = 0;
};

Outcome Solve(const std::string& name) {
  QAPSolver solver;
  std::ifstream in(kFolder + name);
  solver.Problem().SetSourceName(name);
  solver.Problem().Read(in);
  SolverParameters& p = solver.GetParameters();
  p.SetMaxRepairsPerN(1000);
  p.SetNumRuns(10);
  p.SetLambda(1.0);
  p.SetRandomMoves(0);
  p.SetAspiration(false);
  p.SetHistory(false);
  p.SetSidewaysMoves(2);
  p.SetSeed(21);
  Outcome outcome;
  outcome.n = solver.Problem().Size();
  for (unsigned run = 0; run < p.GetNumRuns(); ++run) {
    solver.Solve();
    const long long best = solver.Stats().BestCost();
    outcome.costs.push_back(best);
    if (solver.Problem().Cost(solver.BestPermutation()) != best) outcome.recountOk = false;
  }
  outcome.wide = solver.UsesWideArithmetic();
  return outcome;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "quality";
  std::vector<std::string> names;
  const std::map<std::string, double> best = ReadBest();
  if (mode == "quality" || mode == "wide") {
    const std::regex pattern(mode == "quality" ? "(nug.*|tai[0-9]+a|sko.*)\\.dat" : "tai[0-9]+b\\.dat");
    for (const auto& entry : std::filesystem::directory_iterator(kFolder)) {
      const std::string name = entry.path().filename().string();
      if (std::regex_match(name, pattern)) names.push_back(name);
    }
  } else {
    for (int i = 1; i < argc; ++i) names.push_back(argv[i]);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    std::ifstream fa(kFolder + a), fb(kFolder + b);
    unsigned na = 0, nb = 0;
    fa >> na;
    fb >> nb;
    return na != nb ? na < nb : a < b;
  });

  std::printf("%-12s %4s %5s %14s %14s %9s %9s %s\n", "instance", "n", "width", "best known", "best found",
              "mean gap%", "best gap%", "recount");
  double gapSum = 0;
  int counted = 0;
  bool allRecountsOk = true;
  for (const std::string& name : names) {
    std::ifstream size(kFolder + name);
    unsigned n = 0;
    size >> n;
    if (mode == "quality" && n > 100) continue;
    try {
      const Outcome outcome = Solve(name);
      const double known = best.count(name) ? best.at(name) : 0;
      double meanGap = 0, bestGap = 1e300;
      for (long long cost : outcome.costs) {
        const double gap = known > 0 ? 100.0 * (static_cast<double>(cost) - known) / known : 0;
        meanGap += gap / static_cast<double>(outcome.costs.size());
        bestGap = std::min(bestGap, gap);
      }
      const long long bestFound = *std::min_element(outcome.costs.begin(), outcome.costs.end());
      std::printf("%-12s %4u %5s %14.0f %14lld %9.3f %9.3f %s\n", name.c_str(), outcome.n,
                  outcome.wide ? "64" : "32", known, bestFound, meanGap, bestGap,
                  outcome.recountOk ? "ok" : "WRONG");
      std::fflush(stdout);
      gapSum += meanGap;
      ++counted;
      allRecountsOk = allRecountsOk && outcome.recountOk;
    } catch (const FatalError& e) {
      std::printf("%-12s fatal: %s", name.c_str(), e.Text().c_str());
      allRecountsOk = false;
    }
  }
  if (counted > 0) std::printf("overall mean gap %.3f%% over %d instances\n", gapSum / counted, counted);
  return allRecountsOk ? 0 : 1;
}
