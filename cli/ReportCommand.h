#pragma once
#include <CLI/CLI.hpp>

namespace mirelock {

// mirelock report DOC [--out DIR]: the batch's statistics, charts and runs.csv.
void RegisterReportCommand(CLI::App& app);

}  // namespace mirelock
