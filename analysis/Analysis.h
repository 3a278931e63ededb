#pragma once
#include "analysis/Report.h"

namespace mirelock::analysis {

// Computes everything the report shows from its run records, problems and
// experiments: per-experiment figures, the per-problem table with ranks, and
// (with at least two experiments and two ranked problems) the Friedman test,
// the pairwise Wilcoxon signed-rank tests with Holm's correction and the
// Nemenyi critical difference.
//
// A problem is ranked on its mean gap; without a best known cost on its mean
// cost (as a percentage above the best cost found in the batch, so that the
// pairwise tests, which compare differences across problems, see one scale);
// a SAT problem on its penalised mean effort (PAR-2: a failed run counts
// twice the largest repairs-to-best of any run of the problem). A problem
// with a missing run value is not ranked.
void Analyse(Report& report);

}  // namespace mirelock::analysis
