#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "analysis/Report.h"

namespace mirelock::analysis {

// A chart as the page shows it: its image embedded as a data URI, so that
// the page opens from disk without any other file or network.
struct ReportChartImage {
  std::string heading;
  std::string dataUri;      // "data:image/png;base64,..."
  std::string fileName;     // the same chart as a file beside the page
  std::string explanation;  // how to read it
};

// The report page: settings and notes, the per-experiment table, the charts
// (or `chartsNote` when there are none), the rank tests, the per-problem
// table with each problem's best experiment marked, and the pairs left out.
void WriteHtmlReport(std::ostream& out, const Report& report, const std::vector<ReportChartImage>& charts,
                     const std::string& chartsNote);

}  // namespace mirelock::analysis
