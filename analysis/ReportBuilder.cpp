#include "analysis/ReportBuilder.h"

#include "analysis/Analysis.h"
#include "analysis/AnytimeAnalysis.h"
#include "analysis/BatchReader.h"
#include "analysis/TraceReader.h"

namespace mirelock::analysis {

std::optional<Report> BuildReport(const CMirelockDoc& doc, UserMessages& messages, const std::vector<double>& targets) {
  auto report = ReadBatch(doc, messages);
  if (!report) return report;
  ReadTraces(doc, *report, messages);
  Analyse(*report);
  AnalyseAnytime(*report, targets);
  return report;
}

}  // namespace mirelock::analysis
