#pragma once
#include <CLI/CLI.hpp>

namespace mirelock {

// mirelock tune DOC: irace searches the experiment settings on the training
// problems; the elites join the document, and with --test a batch and a report
// compare them with experiment 0 on unseen problems.
void RegisterTuneCommand(CLI::App& app);
// mirelock tune-run (hidden): irace's target runner, one run's cost on standard output.
void RegisterTuneRunCommand(CLI::App& app);

}  // namespace mirelock
