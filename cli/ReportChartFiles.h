#pragma once
#include <string>
#include <vector>

#include "analysis/HtmlReport.h"
#include "analysis/Report.h"

namespace mirelock {

// One chart of the report, drawn: its entry on the page and its bytes as PNG
// and SVG files named `fileStem` + ".png" / ".svg".
struct DrawnChart {
  analysis::ReportChartImage image;
  std::string fileStem;
  std::string png;
  std::string svg;
};

struct DrawnCharts {
  std::vector<DrawnChart> charts;
  // Stems of the charts this report does not have: files of an earlier report under these names would
  // contradict this one.
  std::vector<std::string> absentStems;
  // What the page should say about the charts it lacks: all of them in a build without Qt, or one with
  // nothing to draw.
  std::string note;
  std::vector<std::string> failures;  // charts that could not be drawn
};

// Draws the report's charts in memory, without any window; nothing is written
// here, so that the caller can replace the report's files all at once.
DrawnCharts DrawReportCharts(const analysis::Report& report);

}  // namespace mirelock
