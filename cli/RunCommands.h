#pragma once
#include <CLI/CLI.hpp>

namespace mirelock {

// mirelock solve PROBLEM: one problem with one experiment, the results file's lines on standard output.
void RegisterSolveCommand(CLI::App& app);
// mirelock run DOC: the batch over the document's problems and experiments.
void RegisterRunCommand(CLI::App& app);
// mirelock monitor DOC --problem FILE --out FILE: a monitor run.
void RegisterMonitorCommand(CLI::App& app);

}  // namespace mirelock
