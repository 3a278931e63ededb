#pragma once
#include <string>

namespace mirelock::test {

// A tab-separated row with one column (0-based) replaced by "T", for
// comparing rows whose time column varies.
inline std::string BlankColumn(const std::string& row, int column) {
  std::size_t start = 0;
  for (int i = 0; i < column && start != std::string::npos; ++i) {
    start = row.find('\t', start);
    if (start != std::string::npos) ++start;
  }
  if (start == std::string::npos) return row;
  const std::size_t end = row.find('\t', start);
  return row.substr(0, start) + "T" + (end == std::string::npos ? std::string() : row.substr(end));
}

}  // namespace mirelock::test
