#pragma once
#include <optional>

#include "analysis/Report.h"

namespace mirelock {

class CMirelockDoc;
class CSummariser;
class ResultsWindow;
class RunControls;

// Fills the results window after a summary: the table from the summariser,
// then the charts of the analysis of the same batch (read under the run
// controls' lock, as the summariser reads the batch progress).
void ShowSummaryResults(ResultsWindow& window, const CSummariser& summariser, const CMirelockDoc& doc,
                        RunControls& controls);

// Puts the charts of the results analysis into the results window, one tab
// each, drawn by the same code as the charts of `mirelock report`: gap box
// plots, run-length and run-time distributions, and the critical-difference
// chart. A chart the analysis cannot draw gets a tab that says why.
void AddResultsCharts(ResultsWindow& window, const std::optional<analysis::Report>& report);

}  // namespace mirelock
