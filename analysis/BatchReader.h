#pragma once
#include <optional>

#include "analysis/Report.h"
#include "experiments/CMirelockDoc.h"
#include "platform/UserMessages.h"

namespace mirelock::analysis {

// Reads the batch of the document's experiment list into the report's run
// records, through the summariser's readers (the same completed problems, the
// same messages for unreadable results files and best.txt), and lists the
// pairs left out. Nothing when no problem is complete (the summariser's
// message has been shown). The statistics are not computed here.
std::optional<Report> ReadBatch(const CMirelockDoc& doc, UserMessages& messages);

}  // namespace mirelock::analysis
