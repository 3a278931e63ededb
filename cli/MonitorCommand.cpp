#include <filesystem>
#include <memory>

#include "cli/CommandError.h"
#include "cli/ConsoleProgress.h"
#include "cli/DocumentSupport.h"
#include "cli/RunCommands.h"
#include "cli/RunDriver.h"
#include "cli/SharedFlags.h"
#include "runner/RunControls.h"

namespace mirelock {

namespace {

struct MonitorArguments {
  std::string document;
  std::string problem;
  std::string out;
  std::string every;
  ExperimentFlags experiment;
};

void Monitor(const MonitorArguments& args) {
  auto document = LoadCommandDocument(args.document);
  CMirelockDoc& doc = document->doc;

  std::error_code error;
  if (!std::filesystem::is_regular_file(args.problem, error))
    throw CommandError("--problem " + args.problem + ": no such problem file");
  const auto problemType = ProblemTypeFromPath(args.problem);
  if (problemType && *problemType != doc.m_nProblemType)
    throw CommandError("--problem " + args.problem + " is a " + ProblemMenuName(*problemType) +
                       " problem, but the document's problem type is " + ProblemMenuName(doc.m_nProblemType));
  doc.m_strMonitorProblem = std::filesystem::absolute(args.problem).lexically_normal().string();
  doc.m_strMonitorOutputFile = std::filesystem::absolute(args.out).lexically_normal().string();
  args.experiment.ApplyTo(doc.m_monitorExperiment);
  if (!args.every.empty()) {
    const std::uint32_t every = ParseUnsignedFlag("--every", args.every);
    if (every == 0)
      throw CommandError("--every " + args.every + ": Please enter an integer between 1 and 4294967295.");
    doc.m_nMonitorEvery = every;
  }

  ConsoleProgress console;
  RunControls controls(doc, console);
  const int status = DriveRun(controls, console, [&controls] { controls.SolveProblem(); });
  if (status != 0) throw CommandError("", status);
}

}  // namespace

void RegisterMonitorCommand(CLI::App& app) {
  auto args = std::make_shared<MonitorArguments>();
  CLI::App* command = app.add_subcommand(
      "monitor", "Solve one problem with one experiment, the solver writing statistics every R repairs");
  command->add_option("DOC", args->document, "document file")->required();
  command->add_option("--problem", args->problem, "problem file")->required();
  command->add_option("--out", args->out, "monitor output file")->required();
  command->add_option("--every", args->every, "write the statistics every R repairs (default 1)");
  args->experiment.AddTo(*command);
  command->callback([args] { Monitor(*args); });
}

}  // namespace mirelock
