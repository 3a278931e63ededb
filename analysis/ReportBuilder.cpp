#include "analysis/ReportBuilder.h"

#include "analysis/Analysis.h"
#include "analysis/BatchReader.h"

namespace mirelock::analysis {

std::optional<Report> BuildReport(const CMirelockDoc& doc, UserMessages& messages) {
  auto report = ReadBatch(doc, messages);
  if (report) Analyse(*report);
  return report;
}

}  // namespace mirelock::analysis
