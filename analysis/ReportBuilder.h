#pragma once
#include <optional>

#include "analysis/FixedTargets.h"
#include "analysis/Report.h"
#include "experiments/CMirelockDoc.h"
#include "platform/UserMessages.h"

namespace mirelock::analysis {

// The whole analysis of the document's batch: its results files read as the
// summariser reads them, then every statistic. Nothing when no problem is
// complete for every experiment (the message has been shown). Copy what the
// document holds under the run controls' lock while a batch may be running.
// `targets`: the ladder of the anytime views, percent above the best known cost.
std::optional<Report> BuildReport(const CMirelockDoc& doc, UserMessages& messages,
                                  const std::vector<double>& targets = DefaultTargets());

}  // namespace mirelock::analysis
