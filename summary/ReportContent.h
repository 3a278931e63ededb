#pragma once
#include <optional>
#include <ostream>
#include <string>

#include "summary/ExperimentDescription.h"
#include "summary/ResultsTable.h"
#include "summary/SummaryStatistics.h"

namespace mirelock {

// What both reports are written from.
struct ReportContent {
  const ResultsTable& table;
  const SummaryStatistics& statistics;
  const ExperimentDescription& description;
  std::string problemsDirectory;
};

// One report cell: the number in the default format, or "NA" when missing; followed by a comma.
void WriteCell(std::ostream& out, const std::optional<double>& value);

// The two lines both reports start with.
void WriteReportTitle(std::ostream& out, const ReportContent& content);

}  // namespace mirelock
