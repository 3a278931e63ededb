#include "analysis/RunsCsv.h"

#include <charconv>

namespace mirelock::analysis {

namespace {

std::string Cell(const std::optional<double>& value) { return value ? ExactNumber(*value) : "NA"; }

}  // namespace

std::string ExactNumber(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

void WriteRunsCsv(std::ostream& out, const Report& report) {
  out << "problem,experiment,experiment_label,run,cost,gap_percent,success,repairs_to_best,cpu_seconds\n";
  for (const RunRecord& run : report.runs) {
    const ExperimentSummary& experiment = report.experiments[run.experiment];
    out << CsvField(report.problems[run.problem]) << ',' << run.experiment << ',' << CsvField(experiment.label) << ','
        << run.run << ',' << Cell(run.cost) << ',' << Cell(run.gap) << ','
        << (run.success ? (*run.success ? "1" : "0") : "NA") << ',' << Cell(run.repairsToBest) << ','
        << Cell(run.cpuSeconds) << '\n';
  }
}

}  // namespace mirelock::analysis
