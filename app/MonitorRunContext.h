#pragma once
#include "app/MonitorChartWindow.h"

namespace mirelock {

class CMirelockDoc;
class RunControls;

// What the monitor chart is told about the document's monitor run: problem,
// type, experiment, runs, the best known cost from best.txt beside the
// problem (none when there is no such line), and where to read the run the
// live solver is on.
MonitorRunContext MakeMonitorRunContext(const CMirelockDoc& doc, RunControls& controls);

}  // namespace mirelock
