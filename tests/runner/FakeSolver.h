#pragma once
// A small deterministic solver for the runner's tests: a run takes a fixed
// number of steps, tests its stop flag at each, and reports a value built from
// the per-thread generator, so identical seeds give identical lines.
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

  int Created() {
    std::lock_guard<std::mutex> lock(mutex);
    return created;
  }
  std::vector<std::string> Pairs() {
    std::lock_guard<std::mutex> lock(mutex);
    return solvedPairs;
  }
};

class FakeSolver : public Solver, ProblemInstance, SolverStats, SolverParameters {
 public:
  FakeSolver(FakeSolverConfig& config, int id) : config_(config), id_(id) {}

  void Solve() override {
    ++run_;
    if (seed_ != 0xffffffffu) SeedRandom(seed_ * run_);
    value_ = 0;
    for (unsigned step = 0;; ++step) {
      if (config_.onStep) config_.onStep(id_, run_, step);
      PublishRunProgress(step, config_.stepsPerRun);
      if (StopTest() || step >= config_.stepsPerRun) break;
      value_ = value_ * 31 + static_cast<unsigned>(Random());
    }
  }
  ProblemInstance& GetProblem() override { return *this; }
  SolverStats& GetStats() override { return *this; }
  SolverParameters& GetParameters() override { return *this; }

  // A problem file is read whole; one holding "FATAL" is refused as a real reader would.
  std::istream& Read(std::istream& in) override {
    std::stringstream text;
    text << in.rdbuf();
    if (text.str().find("FATAL") != std::string::npos)
      throw FatalError("fake reader: bad file", OutputStream::Err, 3);
    std::lock_guard<std::mutex> lock(config_.mutex);
    config_.solvedPairs.push_back(text.str());
    return in;
  }
  std::ostream& WriteRow(std::ostream& out) override { return out << run_ << '\t' << value_ << '\t'; }
  std::ostream& WriteHeader(std::ostream& out) override { return out << "Run\tValue\t"; }

  unsigned GetNumRuns() override { return runs_; }
  void SetNumRuns(unsigned n) override { runs_ = n; }
  void SetMaxRepairsPerN(unsigned) override {}
  void SetMaxRepairs(unsigned) override {}
  void SetSeed(unsigned seed) override { seed_ = seed; }
  void SetLambda(double lambda) override { lambda_ = lambda; }
  void SetSidewaysMoves(int) override {}
  void SetPenaltyDecay(unsigned, double) override {}
  std::ostream& WriteOptions(std::ostream& out) override {
    return out << "+seed " << seed_ << " +lambda " << lambda_ << " +runs " << runs_ << ' ';
  }

 private:
  FakeSolverConfig& config_;
  int id_;
  unsigned run_ = 0, seed_ = 0, value_ = 0, runs_ = 1;
  double lambda_ = 0;
};

inline SolverFactoryFn FakeFactory(FakeSolverConfig& config) {
  return [&config](ProblemType) -> std::unique_ptr<Solver> {
    std::lock_guard<std::mutex> lock(config.mutex);
    return std::make_unique<FakeSolver>(config, ++config.created);
  };
}

}  // namespace mirelock::test
