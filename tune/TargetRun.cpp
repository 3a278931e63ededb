#include "tune/TargetRun.h"

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <stdexcept>

#include "analysis/BatchReader.h"
#include "experiments/CMirelockDoc.h"
#include "experiments/DefaultPaths.h"
#include "platform/UserMessages.h"
#include "runner/ResultsFiles.h"
#include "sat/SATProblem.h"
#include "solver/Solver.h"
#include "solver/factory/SolverFactory.h"

namespace fs = std::filesystem;

namespace mirelock::tune {

namespace {

// A directory of its own for the one results file, removed on every way out.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string pattern = (fs::temp_directory_path() / "mirelock-tune-run-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
      throw std::runtime_error("cannot create a scratch directory in " + fs::temp_directory_path().string());
    path_ = pattern;
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// The repair budget of a run: the experiment's limit, times the number of
// variables when the limit is per variable.
double SatRepairBudget(Solver& solver, const CExperiment& experiment) {
  double budget = experiment.m_nMaxRepairs;
  if (experiment.m_bMaxRepairsTimesN) {
    const auto* problem = dynamic_cast<const SATProblem*>(&solver.GetProblem());
    if (!problem) throw std::runtime_error("the SAT solver's problem has no variable count");
    budget *= static_cast<double>(problem->NumVariables());
  }
  return budget;
}

}  // namespace

TargetRunCost SolveForCost(ProblemType type, const std::string& problemPath, CExperiment experiment,
                           std::uint32_t seed) {
  experiment.m_nNumRuns = 1;
  ScratchDirectory scratch;
  RecordingMessages messages;

  const fs::path problem = fs::absolute(problemPath);
  CMirelockDoc doc(&messages);
  doc.m_nProblemType = type;
  doc.m_strProblemsDir = WithTrailingSlash(problem.parent_path().string());
  doc.m_strResultsDir = WithTrailingSlash(scratch.Path());
  doc.m_experiments = {experiment};
  doc.m_nSeedMode = kSeedFixed;
  doc.m_nFixedSeed = seed;

  std::unique_ptr<Solver> solver = CreateSolver(type);
  if (!solver) throw std::runtime_error("Problem type not implemented");
  ResultsFileRequest request;
  request.problemName = problem.filename().string();
  request.problemPath = problem.string();
  request.resultsDirectory = doc.m_strResultsDir;
  request.resultsFileName = GetResultsFilename(type, request.problemName, experiment);
  request.experiment = experiment;
  ResultsFileHooks hooks;
  hooks.runSettings = [&doc] { return doc.CurrentRunSettings(false); };
  hooks.messages = &messages;
  const PairOutcome outcome = WriteResultsFile(*solver, request, hooks);
  if (outcome != PairOutcome::kFinished) {
    const auto shown = messages.Messages();
    throw std::runtime_error(problemPath + ": the run did not finish" + (shown.empty() ? "" : ": " + shown.back()));
  }

  const auto report = analysis::ReadBatch(doc, messages);
  if (!report || report->runs.size() != 1)
    throw std::runtime_error(problemPath + ": the run's results line cannot be read back");
  const analysis::RunRecord& run = report->runs.front();
  if (type == kProblemSAT) {
    if (run.success && *run.success && run.repairsToBest) return {*run.repairsToBest, "repairs to a solution"};
    return {10 * SatRepairBudget(*solver, experiment), "repairs to a solution (PAR-10)"};
  }
  const bool maxsat = type == kProblemMaxSAT;
  if (run.gap) return {*run.gap, maxsat ? "% relative error" : "% gap"};
  if (run.cost) return {maxsat ? -*run.cost : *run.cost, maxsat ? "satisfied weight, negated" : "cost"};
  throw std::runtime_error(problemPath + ": the run's results line holds no cost");
}

}  // namespace mirelock::tune
