#pragma once
#include <QIcon>

namespace mirelock {

// Toolbar pictures the platform style has no standard icon for, drawn at run
// time so that they need no image files: a printer, a line chart, a
// magnifier over a play mark (solve one problem under the monitor), a table
// (results) and a red square (abandon).
QIcon PrinterIcon();
QIcon ChartIcon();
QIcon SolveProblemIcon();
QIcon ResultsIcon();

}  // namespace mirelock
