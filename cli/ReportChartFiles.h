#pragma once
#include <string>
#include <vector>

#include "analysis/HtmlReport.h"
#include "analysis/Report.h"

namespace mirelock {

// Draws the report's charts into PNG and SVG files in `directory` and returns
// them for embedding in the page. `note` gets what the page should say about
// charts it lacks: all of them in a build without Qt, or one with nothing to
// draw. Files that cannot be written are named in `failures`.
std::vector<analysis::ReportChartImage> DrawReportCharts(const analysis::Report& report, const std::string& directory,
                                                          std::string& note, std::vector<std::string>& failures);

}  // namespace mirelock
