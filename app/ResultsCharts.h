#pragma once
#include <optional>

#include "analysis/Report.h"

namespace mirelock {

class ResultsWindow;

// Puts the charts of the results analysis into the results window, one tab
// each, drawn by the same code as the charts of `mirelock report`: gap box
// plots, run-length and run-time distributions, and the critical-difference
// chart. A chart the analysis cannot draw gets a tab that says why.
void AddResultsCharts(ResultsWindow& window, const std::optional<analysis::Report>& report);

}  // namespace mirelock
