#pragma once
#include <CLI/CLI.hpp>

namespace mirelock {

// mirelock summarise DOC: the full results and summary CSV files of the document's results.
void RegisterSummariseCommand(CLI::App& app);

}  // namespace mirelock
