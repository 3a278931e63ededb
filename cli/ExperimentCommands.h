#pragma once
#include <CLI/CLI.hpp>

namespace mirelock {

// mirelock exp add|edit|delete|up|down|list
void RegisterExperimentCommands(CLI::App& app);

}  // namespace mirelock
