#pragma once
#include <ostream>

#include "analysis/Report.h"

namespace mirelock::analysis {

// One row per run, for R and pandas: problem, experiment, experiment_label,
// run, cost, gap_percent, success, repairs_to_best, cpu_seconds. Missing
// values are "NA"; numbers are written in full precision. `experiment` and
// `run` both count from 0: the experiment as the page, the summary files and
// `exp list` number it ("Exp 0"), the run as its line's position among the
// run lines of its results file. `experiment_label` is the experiment's label,
// never empty.
void WriteRunsCsv(std::ostream& out, const Report& report);

// A CSV field, quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text);

// The shortest text that reads back as the same double.
std::string ExactNumber(double value);

}  // namespace mirelock::analysis
