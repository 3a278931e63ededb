#pragma once
#include <CLI/CLI.hpp>

namespace mirelock {

// mirelock doc new|set|show
void RegisterDocCommands(CLI::App& app);

}  // namespace mirelock
