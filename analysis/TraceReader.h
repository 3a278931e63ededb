#pragma once
#include "analysis/Report.h"
#include "experiments/CMirelockDoc.h"
#include "platform/UserMessages.h"

namespace mirelock::analysis {

// Reads the trace file beside each reported pair's results file into
// `report.traces`. A missing, cut or garbled trace leaves its pair's runs
// without a trace and is shown as a message naming the file; a batch without
// any trace file (made before traces were recorded) gets one note instead.
void ReadTraces(const CMirelockDoc& doc, Report& report, UserMessages& messages);

// A trace point's gap in percent to the problem's best known figure, as the
// runs' gaps are taken (QAP, TSP: of the cost; MAX-SAT: of the satisfied
// weight, the run's total weight coming from its results row and its final
// unsatisfied weight). None for SAT and without a usable best known figure.
std::optional<double> TraceGap(const Report& report, std::size_t runIndex, std::int64_t cost);

}  // namespace mirelock::analysis
