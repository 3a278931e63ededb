#pragma once
// A small deterministic solver for the runner's tests: a run takes a fixed
// number of steps, tests its stop flag at each, and reports a value built from
// the per-thread generator, so identical seeds give identical lines.
#include <atomic>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/FatalError.h"
#include "platform/Random.h"
#include "runner/RunOutcome.h"
#include "solver/Solver.h"

namespace mirelock::test {

// What the tests observe and steer, shared by every solver a factory makes.
struct FakeSolverConfig {
  unsigned stepsPerRun = 50;
  // Called on the worker at every step, with the serial number of the solver
  // (1 for the first the factory made), the run (from 1) and the step.
  std::function<void(int solverId, unsigned run, unsigned step)> onStep;

  std::mutex mutex;
  std::vector<std::string> solvedPairs;  // problem read by each solver, in creation order
  int created = 0;
  std::string monitorFile;
  unsigned monitorEvery = 0;

  int Created() {
    std::lock_guard<std::mutex> lock(mutex);
    return created;
  }
  std::vector<std::string> Pairs() {
    std::lock_guard<std::mutex> lock(mutex);
    return solvedPairs;
  }
};

class FakeSolver : public Solver {
 public:
  FakeSolver(FakeSolverConfig& config, int id)
      : config_(config), id_(id), problem_(*this), stats_(*this), params_(*this) {}

  void Solve() override {
    ++run_;
    if (seed_ != 0xffffffffu) SeedRandom(seed_ * run_);
    value_ = 0;
    for (unsigned step = 0;; ++step) {
      if (config_.onStep) config_.onStep(id_, run_, step);
      if (StopTest() || step >= config_.stepsPerRun) break;
      value_ = value_ * 31 + static_cast<unsigned>(Random());
    }
  }
  ProblemInstance& GetProblem() override { return problem_; }
  SolverStats& GetStats() override { return stats_; }
  SolverParameters& GetParameters() override { return params_; }

 private:
  struct Problem : ProblemInstance {
    explicit Problem(FakeSolver& s) : solver(s) {}
    std::istream& Read(std::istream& in) override {
      std::stringstream text;
      text << in.rdbuf();
      if (text.str().find("FATAL") != std::string::npos)
        throw FatalError("fake reader: bad file", OutputStream::Err, 3);
      std::lock_guard<std::mutex> lock(solver.config_.mutex);
      solver.config_.solvedPairs.push_back(text.str());
      return in;
    }
    FakeSolver& solver;
  };
  struct Stats : SolverStats {
    explicit Stats(FakeSolver& s) : solver(s) {}
    std::ostream& WriteRow(std::ostream& out) override {
      return out << solver.run_ << '\t' << solver.value_ << '\t';
    }
    std::ostream& WriteHeader(std::ostream& out) override { return out << "Run\tValue\t"; }
    FakeSolver& solver;
  };
  struct Params : SolverParameters {
    explicit Params(FakeSolver& s) : solver(s) {}
    unsigned GetNumRuns() override { return runs; }
    void SetNumRuns(unsigned n) override { runs = n; }
    void SetMaxRepairsPerN(unsigned k) override { repairs = k; }
    void SetMaxRepairs(unsigned n) override { repairs = n; }
    void SetSeed(unsigned seed) override { solver.seed_ = seed; }
    void SetLambda(double l) override { lambda = l; }
    void SetSidewaysMoves(int n) override { sideways = n; }
    void SetPenaltyDecay(unsigned, double) override {}
    void SetMonitor(const std::string& file, unsigned every) override {
      std::lock_guard<std::mutex> lock(solver.config_.mutex);
      solver.config_.monitorFile = file;
      solver.config_.monitorEvery = every;
    }
    std::ostream& WriteOptions(std::ostream& out) override {
      return out << "+seed " << solver.seed_ << " +lambda " << lambda << " +runs " << runs << ' ';
    }
    FakeSolver& solver;
    unsigned runs = 1;
    unsigned repairs = 0;
    double lambda = 0;
    int sideways = 0;
  };

  FakeSolverConfig& config_;
  int id_;
  unsigned run_ = 0;
  unsigned seed_ = 0;
  unsigned value_ = 0;
  Problem problem_;
  Stats stats_;
  Params params_;
};

inline SolverFactoryFn FakeFactory(FakeSolverConfig& config) {
  return [&config](ProblemType) -> std::unique_ptr<Solver> {
    int id;
    {
      std::lock_guard<std::mutex> lock(config.mutex);
      id = ++config.created;
    }
    return std::make_unique<FakeSolver>(config, id);
  };
}

}  // namespace mirelock::test
