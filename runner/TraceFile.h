#pragma once
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "solver/RunTrace.h"

namespace mirelock {

// The trace file of a pair sits beside its results file: the same name with
// ".trace" in place of ".txt". It holds a header line, then for each run, in
// order from 1, one line per new best solution and a closing line with the
// run's whole effort and "end" for a cost:
//   Run<TAB>Repairs<TAB>CPU_seconds<TAB>Cost
//   Run<TAB>Repairs<TAB>CPU_seconds<TAB>end
// CPU seconds have three decimals (the clock counts milliseconds). The file is
// written and renamed together with its results file, so a complete results
// file has it; a batch made before traces were recorded has none.
std::string TraceFileName(const std::string& resultsFileName);

inline constexpr const char* kTraceHeader = "Run\tRepairs\tCPU_seconds\tCost";

void WriteTraceHeader(std::ostream& out);
// The lines of run `run` (from 1).
void WriteTraceRun(std::ostream& out, unsigned run, const RunTrace& trace);

// One run's new bests as a trace file holds them.
struct TracedRun {
  std::vector<std::uint64_t> repairs;
  std::vector<double> cpuSeconds;
  std::vector<std::int64_t> cost;
  std::uint64_t totalRepairs = 0;  // the whole run's
  double totalCpuSeconds = 0;
};

// A trace file read back: a run per results row, or an error that names the
// file and what is wrong ("missing", a line that does not parse, runs out of
// order, a run that does not end at its results row's repairs to the best).
struct TraceFileContents {
  std::vector<TracedRun> runs;  // runs[0] is run 1
  std::string error;
  bool missing = false;  // no file under the name
};

// Reads the trace file at `path`. `repairsToBest`, when given, holds each
// results row's repairs to the best solution: the file must hold exactly that
// many runs, the last point of each at those repairs, which tells a cut or
// foreign trace from the one written with the results file.
TraceFileContents ReadTraceFile(const std::string& path,
                                const std::vector<std::optional<double>>& repairsToBest);

}  // namespace mirelock
