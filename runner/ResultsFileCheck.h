#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace mirelock {

// What a results file under a pair's name holds, read line by line.
struct ResultsFileCheck {
  bool exists = false;
  // Every line ends with "\n" and has the header's number of fields, the
  // header is a results header, every run line is about the pair's problem,
  // and there are at least as many run lines as the experiment's runs.
  bool complete = false;
  std::size_t runLines = 0;  // run lines before the first defect
  // Why a file that exists does not count (empty when it does, or when it is
  // only short of runs): the path is not part of it.
  std::string defect;
};

// Reads the results file at `path` of a pair of `problem` (the first field of
// its rows) and an experiment of `runs` runs. A line of 1024 characters or
// more is a defect, and no more than one line of that length is ever held.
ResultsFileCheck CheckResultsFile(const std::string& path, const std::string& problem, std::uint32_t runs);

}  // namespace mirelock
