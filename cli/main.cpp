#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/CommandLine.h"
#include "cli/DocCommands.h"
#include "cli/ExperimentCommands.h"
#include "cli/ReportCommand.h"
#include "cli/RunCommands.h"
#include "cli/SummariseCommand.h"
#include "cli/TuneCommands.h"

// Each command file registers its own subcommands; add one line per file.
int main(int argc, char** argv) {
  CLI::App app{"Mirelock: Guided Local Search experiment workbench"};
  app.require_subcommand(1);
  app.add_subcommand("version", "Print the version")->callback([] { std::cout << "Mirelock Version 1.0\n"; });
  mirelock::RegisterDocCommands(app);
  mirelock::RegisterExperimentCommands(app);
  mirelock::RegisterSolveCommand(app);
  mirelock::RegisterRunCommand(app);
  mirelock::RegisterMonitorCommand(app);
  mirelock::RegisterSummariseCommand(app);
  mirelock::RegisterReportCommand(app);
  mirelock::RegisterTuneCommand(app);
  mirelock::RegisterTuneRunCommand(app);
  return mirelock::RunCommandLine(app, argc, argv);
}
