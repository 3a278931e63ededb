#pragma once
#include <ostream>
#include <string>

namespace mirelock {

// Every number in results lines, option texts and reports uses the default
// stream format: six significant digits, fixed or exponential, whichever is
// shorter (1, 0.8, 1.23457e+06). Streams that write them use the classic
// locale so that a user's locale never changes a decimal point.
std::string FormatNumber(double value);

// Resets a stream to the default number format and the classic locale.
void UseDefaultNumberFormat(std::ostream& out);

}  // namespace mirelock
