#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirelock {

// Reads a monitor output file as the solver writes it: a header line naming
// the columns, then one tab-separated line every R repairs. The solvers name
// their columns differently (the SAT solver "Current_Cost" and
// "Current_Aug_Cost", the QAP solver "Best_Cost", "Cost" and
// "Augmented_Cost"); the reader takes whichever exist.
//
// Poll() may be called again and again while the file grows: it reads only the
// lines appended since the last call, at most a given number of bytes at a
// time so that a caller on the interface thread stays responsive. A solver
// rewrites the file at the start of each run; the reader then drops the
// points of the previous run and counts one more run.
class MonitorFileReader {
 public:
  struct Series {
    std::string name;  // the label shown, "Cost", "Best cost" or "Augmented cost"
    std::vector<double> values;
  };

  // Bytes one Poll reads at most unless told otherwise: some eight thousand
  // lines, parsed in a few milliseconds.
  static constexpr std::uint64_t kDefaultPollBytes = 256u << 10;

  explicit MonitorFileReader(std::string path);

  // Reads what was appended, up to `maxBytes`. Returns whether the series changed.
  bool Poll(std::uint64_t maxBytes = kDefaultPollBytes);
  // Whether the last Poll left appended bytes unread.
  bool HasMore() const { return more_; }

  const std::string& Path() const { return path_; }
  // Whether the file has been found at all.
  bool Exists() const { return exists_; }
  // Empty until the header has been read.
  const std::vector<double>& Repairs() const { return repairs_; }
  // Cost, best cost and augmented cost, those the file has, in that order.
  const std::vector<Series>& Columns() const { return series_; }
  // Runs seen since the reader was made (1 for the first run read); a file
  // rewritten by the next run counts on, it does not start again at 1.
  int Run() const { return run_; }
  // Set when the file cannot be read or is not a monitor file; names the file and the fault.
  const std::optional<std::string>& Error() const { return error_; }

 private:
  // Forgets the points (a new run is starting); `rewound` also forgets the header and place.
  void DropPoints();
  void Rewind();
  // False with error_ set when the header names no repairs column.
  bool ReadHeader(std::string_view line);
  // False when the line is not a row of numbers for the known columns.
  bool ReadRow(std::string_view line, std::string& fault);

  std::string path_;
  std::uint64_t offset_ = 0;  // bytes consumed (whole lines only)
  std::string header_;
  int repairsColumn_ = -1;
  std::vector<int> columns_;  // file column of each series
  int lastColumn_ = -1;       // the highest column a row must reach
  std::vector<double> repairs_;
  std::vector<Series> series_;
  std::vector<double> rowValues_;  // one row's cells, reused
  std::uint64_t lineNumber_ = 0;
  int run_ = 0;
  bool exists_ = false;
  bool more_ = false;
  std::optional<std::string> error_;
};

}  // namespace mirelock
