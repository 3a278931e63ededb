#include "analysis/TracesCsv.h"

#include "analysis/RunsCsv.h"
#include "analysis/TraceReader.h"

namespace mirelock::analysis {

void WriteTracesCsv(std::ostream& out, const Report& report) {
  out << "problem,experiment,run,repairs,cpu_seconds,cost,gap_percent\n";
  for (std::size_t i = 0; i < report.runs.size() && i < report.traces.size(); ++i) {
    if (!report.traces[i]) continue;
    const RunRecord& run = report.runs[i];
    const TracedRun& trace = *report.traces[i];
    const std::string prefix =
        CsvField(report.problems[run.problem]) + ',' + std::to_string(run.experiment) + ',' + std::to_string(run.run) + ',';
    for (std::size_t k = 0; k < trace.cost.size(); ++k) {
      const std::optional<double> gap = TraceGap(report, i, trace.cost[k]);
      out << prefix << trace.repairs[k] << ',' << ExactNumber(trace.cpuSeconds[k]) << ',' << trace.cost[k] << ','
          << (gap ? ExactNumber(*gap) : "NA") << '\n';
    }
  }
}

}  // namespace mirelock::analysis
