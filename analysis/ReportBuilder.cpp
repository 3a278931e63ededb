#include "analysis/ReportBuilder.h"

#include "analysis/Analysis.h"
#include "analysis/BatchReader.h"
#include "analysis/TraceReader.h"

namespace mirelock::analysis {

std::optional<Report> BuildReport(const CMirelockDoc& doc, UserMessages& messages) {
  auto report = ReadBatch(doc, messages);
  if (!report) return report;
  ReadTraces(doc, *report, messages);
  Analyse(*report);
  return report;
}

}  // namespace mirelock::analysis
