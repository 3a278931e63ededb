#include "analysis/ReportNumbers.h"

#include <charconv>
#include <cmath>

namespace mirelock::analysis {

namespace {
constexpr double kSmallestPrinted = 0.0001;
}  // namespace

std::string FixedDecimals(double value, int decimals) {
  if (!std::isfinite(value)) return std::isnan(value) ? "NA" : (value > 0 ? "Inf" : "-Inf");
  const bool negative = std::signbit(value);
  char buffer[400];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed);
  std::string digits(buffer, written.ptr);
  std::string whole = digits.substr(0, digits.find('.'));
  std::string fraction = digits.find('.') == std::string::npos ? "" : digits.substr(digits.find('.') + 1);
  const bool roundUp = static_cast<int>(fraction.size()) > decimals && fraction[static_cast<std::size_t>(decimals)] >= '5';
  fraction.resize(static_cast<std::size_t>(decimals), '0');
  std::string number = whole + fraction;  // the kept digits, without the point
  if (roundUp) {
    std::size_t i = number.size();
    while (i > 0 && number[i - 1] == '9') number[--i] = '0';
    if (i == 0)
      number.insert(number.begin(), '1');
    else
      ++number[i - 1];
  }
  const std::size_t wholeLength = number.size() - static_cast<std::size_t>(decimals);
  std::string text = number.substr(0, wholeLength);
  if (decimals > 0) text.append(".").append(number, wholeLength, std::string::npos);
  const bool zero = text.find_first_not_of("0.") == std::string::npos;
  if (negative && !zero) text.insert(text.begin(), '-');
  return text;
}

std::string PValueCell(double p) { return p < kSmallestPrinted ? "< 0.0001" : FixedDecimals(p, 4); }

std::string PValueStatement(double p) {
  return p < kSmallestPrinted ? "p < 0.0001" : "p = " + FixedDecimals(p, 4);
}

}  // namespace mirelock::analysis
