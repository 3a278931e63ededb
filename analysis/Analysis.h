#pragma once
#include "analysis/Report.h"

namespace mirelock::analysis {

// Computes everything the report shows from its run records, problems and
// experiments: per-experiment figures, the per-problem table with ranks, and
// (with at least two experiments and two ranked problems) the Friedman test,
// the pairwise Wilcoxon signed-rank tests with Holm's correction and the
// Nemenyi critical difference.
//
// A problem's experiments are ranked on the mean of integer run values, so
// that equal means tie exactly: the mean cost (equivalent to the mean gap, as
// all of a problem's gaps share one best known cost; MAX-SAT: the mean
// satisfied weight, higher being better); a SAT problem on its PAR-2 mean
// (a failed run counts twice its own cutoff, the experiment's repair budget
// for the problem). The pairwise tests compare the differences on one scale
// across problems: gap points, percent of the best cost found in the batch
// for a problem without a best known cost, cost units for a best known cost
// of 0, repairs for SAT. A problem with a missing run value is not ranked.
void Analyse(Report& report);

}  // namespace mirelock::analysis
