#pragma once
#include <CLI/CLI.hpp>

namespace mirelock {

// Parses the command line and runs the chosen command. Returns the exit
// status: 0 when the command ended normally, the status of a fatal reader or
// solver error, 1 for any other error (bad flags, a document that cannot be
// read). Messages go to standard error.
int RunCommandLine(CLI::App& app, int argc, char** argv);

}  // namespace mirelock
