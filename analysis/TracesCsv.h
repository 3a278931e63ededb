#pragma once
#include <ostream>

#include "analysis/Report.h"

namespace mirelock::analysis {

// One row per new best solution of every traced run, for R and pandas:
// problem, experiment, run, repairs, cpu_seconds, cost, gap_percent.
// `experiment` and `run` count from 0 exactly as in runs.csv, so the two
// files join on (problem, experiment, run). `repairs` and `cpu_seconds` are
// the run's effort when it found the solution; `cost` is the trace file's
// (SAT: unsatisfied clauses; MAX-SAT: unsatisfied weight); `gap_percent` is
// taken as runs.csv takes it, "NA" for SAT and without a best known figure.
// Runs without a readable trace have no rows.
void WriteTracesCsv(std::ostream& out, const Report& report);

}  // namespace mirelock::analysis
