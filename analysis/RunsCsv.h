#pragma once
#include <ostream>

#include "analysis/Report.h"

namespace mirelock::analysis {

// One row per run, for R and pandas: problem, experiment, experiment_label,
// run, cost, gap_percent, success, repairs_to_best, cpu_seconds. Missing
// values are "NA"; numbers are written in full precision.
void WriteRunsCsv(std::ostream& out, const Report& report);

// A CSV field, quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text);

// The shortest text that reads back as the same double.
std::string ExactNumber(double value);

}  // namespace mirelock::analysis
