#pragma once
#include <optional>
#include <string>

namespace mirelock::analysis {

// How the report page and its charts write statistics, by one rule: the
// shortest decimal that reads back as the number, rounded half away from zero
// to the given number of decimals (2.125 -> "2.13", 1.005 -> "1.01"), so a
// mean rank reads the same in the table and on the chart. (Gaps and costs are
// written with six significant digits instead, exactly as the summary CSV
// writes them, so that the two can be compared.)
std::string FixedDecimals(double value, int decimals);

// A p-value as a table cell: "0.0469", or "< 0.0001" below 0.0001.
std::string PValueCell(double p);

// A p-value in a sentence: "p = 0.0469", or "p < 0.0001".
std::string PValueStatement(double p);

}  // namespace mirelock::analysis
