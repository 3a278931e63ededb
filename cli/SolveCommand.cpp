#include <filesystem>
#include <iostream>
#include <memory>

#include "cli/CommandError.h"
#include "cli/RunCommands.h"
#include "cli/SharedFlags.h"
#include "platform/NumberFormat.h"
#include "platform/UserMessages.h"
#include "runner/ResultsFiles.h"
#include "solver/SolverParameters.h"
#include "solver/factory/SolverFactory.h"

namespace mirelock {

namespace {

struct SolveArguments {
  std::string problem;
  std::string type;
  std::string monitorFile;
  std::string every;
  ExperimentFlags experiment;
  SeedFlags seed;
  CLI::Option* everyOption = nullptr;
};

ProblemType SolveProblemType(const SolveArguments& args) {
  if (!args.type.empty()) {
    if (auto type = ProblemTypeFromKeyword(args.type)) return *type;
    throw CommandError("--type " + args.type + ": expected sat, maxsat, qap or tsp");
  }
  if (auto type = ProblemTypeFromPath(args.problem)) return *type;
  throw CommandError(
      args.problem +
      ": the problem type cannot be told from the extension (.cnf, .sat, .dat, .tsp); use --type");
}

void Solve(const SolveArguments& args) {
  const ProblemType type = SolveProblemType(args);
  CExperiment experiment;
  args.experiment.ApplyTo(experiment);

  RunSettings settings;  // seed mode fixed, seed 21
  args.seed.ApplyTo(settings.seedMode, settings.fixedSeed);
  if (args.everyOption->count() > 0 && args.monitorFile.empty())
    throw CommandError("--every needs --monitor FILE");
  if (!args.monitorFile.empty()) {
    settings.monitorRun = true;
    settings.monitorFile = args.monitorFile;
    if (!args.every.empty()) {
      settings.monitorEvery = ParseUnsignedFlag("--every", args.every);
      if (settings.monitorEvery == 0)
        throw CommandError("--every " + args.every + ": Please enter an integer between 1 and 4294967295.");
    }
  }

  std::unique_ptr<Solver> solver = CreateSolver(type);
  if (!solver) throw CommandError("Problem type not implemented");

  StderrMessages messages;
  ResultsFileRequest request;
  request.problemName = std::filesystem::path(args.problem).filename().string();
  request.problemPath = args.problem;
  request.resultsFileName = "standard output";
  request.experiment = experiment;
  ResultsFileHooks hooks;
  hooks.runSettings = [&settings] { return settings; };
  hooks.messages = &messages;

  UseDefaultNumberFormat(std::cout);
  PairOutcome outcome;
  try {
    outcome = WritePairLines(*solver, std::cout, request, hooks,
                             [] { return static_cast<bool>(std::cout.flush()); });
  } catch (const UnsupportedFeature& feature) {
    std::cout.flush();
    throw CommandError(std::string(feature.what()) + " is not yet implemented for the current problem type");
  } catch (const ResultsFileException&) {
    throw CommandError("Failed to write to standard output");
  }
  if (outcome != PairOutcome::kFinished) throw CommandError("", 1);  // the message has been shown
}

}  // namespace

void RegisterSolveCommand(CLI::App& app) {
  auto args = std::make_shared<SolveArguments>();
  CLI::App* command = app.add_subcommand(
      "solve", "Solve one problem with one experiment; print its results file to standard output");
  command->add_option("PROBLEM", args->problem, "problem file")->required();
  command->add_option("--type", args->type, "sat, maxsat, qap or tsp (default: from the extension)");
  args->experiment.AddTo(*command);
  args->seed.AddTo(*command);
  command->add_option("--monitor", args->monitorFile, "write the solver's search statistics to FILE");
  args->everyOption =
      command->add_option("--every", args->every, "monitor statistics every R repairs (default 1)");
  command->callback([args] { Solve(*args); });
}

}  // namespace mirelock
