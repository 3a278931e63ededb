#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mirelock {

// Reads a monitor output file as the solver writes it: a header line naming
// the columns, then one tab-separated line every R repairs. The solvers name
// their columns differently (the SAT solver "Current_Cost" and
// "Current_Aug_Cost", the QAP solver "Best_Cost", "Cost" and
// "Augmented_Cost"); the reader takes whichever exist.
//
// Poll() may be called again and again while the file grows: it reads only the
// lines appended since the last call. A solver rewrites the file at the start
// of each run; the reader then starts over and shows the new run.
class MonitorFileReader {
 public:
  struct Series {
    std::string name;  // the column heading
    std::vector<double> values;
  };

  explicit MonitorFileReader(std::string path);

  // Reads what was appended. Returns whether the series changed.
  bool Poll();

  const std::string& Path() const { return path_; }
  // Empty until the header has been read.
  const std::vector<double>& Repairs() const { return repairs_; }
  // Cost, best cost and augmented cost, those the file has, in that order.
  const std::vector<Series>& Columns() const { return series_; }
  // Runs seen so far (1 for the first run in the file).
  int Run() const { return run_; }
  // Set when the file cannot be read or is not a monitor file; names the file and the fault.
  const std::optional<std::string>& Error() const { return error_; }

 private:
  void Reset();
  // False with error_ set when the header names no repairs column.
  bool ReadHeader(const std::string& line);
  // False when the line is not a row of numbers for the known columns.
  bool ReadRow(const std::string& line, std::string& fault);

  std::string path_;
  std::uint64_t offset_ = 0;  // bytes consumed (whole lines only)
  std::string header_;
  int repairsColumn_ = -1;
  std::vector<int> columns_;  // file column of each series
  std::vector<double> repairs_;
  std::vector<Series> series_;
  std::uint64_t lineNumber_ = 0;
  int run_ = 0;
  std::optional<std::string> error_;
};

}  // namespace mirelock
