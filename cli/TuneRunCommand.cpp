#include <iomanip>
#include <iostream>
#include <limits>
#include <memory>

#include "cli/CommandError.h"
#include "cli/DocumentSupport.h"
#include "cli/SharedFlags.h"
#include "cli/TuneCommands.h"
#include "platform/FatalError.h"
#include "solver/SolverParameters.h"
#include "tune/ParameterSpace.h"
#include "tune/TargetRun.h"

namespace mirelock {

namespace {

// irace calls: BASE CONFIGURATION_ID INSTANCE_ID SEED INSTANCE [SWITCH VALUE]...
// BASE is the document tune wrote with the problem type and experiment 0,
// whose termination criteria and untuned settings every run keeps.
void TuneRun(const std::vector<std::string>& args) {
  if (args.size() < 5 || (args.size() - 5) % 2 != 0)
    throw CommandError(
        "tune-run: expected BASE CONFIGURATION_ID INSTANCE_ID SEED INSTANCE followed by pairs of switch and value");
  auto base = LoadCommandDocument(args[0]);
  if (base->doc.m_experiments.empty()) throw CommandError("tune-run: " + args[0] + " holds no experiment 0");
  const ProblemType type = base->doc.m_nProblemType;
  const std::uint32_t seed = ParseUnsignedFlag("seed", args[3]);
  std::vector<std::pair<std::string, std::string>> settings;
  for (std::size_t i = 5; i < args.size(); i += 2) settings.emplace_back(args[i], args[i + 1]);
  try {
    const CExperiment experiment = tune::ApplySettings(base->doc.m_experiments.front(), type, settings);
    const tune::TargetRunCost result = tune::SolveForCost(type, args[4], experiment, seed);
    std::cout << std::setprecision(std::numeric_limits<double>::max_digits10) << result.cost << '\n';
  } catch (const tune::SpaceError& error) {
    throw CommandError(std::string("tune-run: ") + error.what());
  } catch (const UnsupportedFeature& feature) {
    throw CommandError(std::string(feature.what()) + " is not yet implemented for the current problem type");
  } catch (const FatalError& fatal) {
    // irace reads standard output as the cost: the solver's text goes to standard error.
    throw CommandError(args[4] + ": " + fatal.Text(), fatal.ExitStatus() == 0 ? 1 : fatal.ExitStatus());
  }
}

}  // namespace

void RegisterTuneRunCommand(CLI::App& app) {
  CLI::App* command = app.add_subcommand("tune-run", "irace's target runner: the cost of one run");
  command->group("");  // hidden: only irace calls it
  // Every argument is irace's, taken as given: BASE CONFIGURATION_ID INSTANCE_ID SEED INSTANCE [SWITCH VALUE]...
  command->prefix_command();
  command->allow_extras();
  command->callback([command] { TuneRun(command->remaining()); });
}

}  // namespace mirelock
