#pragma once
#include <cstddef>
#include <string>

#include "platform/UserMessages.h"
#include "summary/ResultsTable.h"

namespace mirelock {

// Reads one results file (a header line of column names, then one line per
// run) into the cells of one problem and experiment of the table. Header words
// "Problem", "Problem_name" and "Options" are never columns; the field under
// "Options" ends its row. "NA", a field the row lacks and a column the header
// lacks all leave the cell missing.
class ResultsFileReader {
 public:
  ResultsFileReader(ResultsTable& table, UserMessages& messages) : table_(table), messages_(messages) {}

  void Read(const std::string& path, std::size_t problem, std::size_t experiment);

 private:
  ResultsTable& table_;
  UserMessages& messages_;
};

}  // namespace mirelock
