#pragma once

namespace mirelock {

class CMirelockDoc;
class ResultsWindow;

// Puts the charts of the results analysis (gap box plots, run-length
// distributions, critical-difference diagram) into the results window, one
// tab each, from the document's experiments and results files.
void AddResultsCharts(ResultsWindow& window, const CMirelockDoc& doc);

}  // namespace mirelock
