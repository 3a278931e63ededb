#include "summary/ResultsFileReader.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/InputFile.h"

namespace mirelock {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// Hands out the whitespace-delimited words of one line in turn.
class WordCursor {
 public:
  explicit WordCursor(std::string_view line) : line_(line) {}
  std::optional<std::string_view> Next() {
    while (pos_ < line_.size() && IsBlank(line_[pos_])) ++pos_;
    if (pos_ == line_.size()) return std::nullopt;
    const std::size_t start = pos_;
    while (pos_ < line_.size() && !IsBlank(line_[pos_])) ++pos_;
    return line_.substr(start, pos_ - start);
  }

 private:
  std::string_view line_;
  std::size_t pos_ = 0;
};

bool IsNameWord(std::string_view word) { return word == "Problem" || word == "Problem_name"; }

// A decimal number filling the whole field, independent of the process locale.
std::optional<double> ParseNumber(std::string_view field) {
  if (!field.empty() && field.front() == '+') field.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (error != std::errc() || end != field.data() + field.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

}  // namespace

void ResultsFileReader::Read(const std::string& path, std::size_t problem, std::size_t experiment) {
  InputFileStream in(path);
  if (!in) {
    // The reader's reason names the file: "PATH: No such file or directory", "PATH is a FIFO, not a regular file".
    messages_.Show("Failed to open results file " + in.Error() + "; its values are written as NA");
    return;
  }

  // The header's words, and for each the column it fills (none for the name and options words).
  std::string line;
  std::getline(in, line);
  std::vector<std::string> headerWords;
  std::vector<std::optional<std::size_t>> headerColumns;
  WordCursor header(line);
  while (const auto word = header.Next()) {
    headerWords.emplace_back(*word);
    if (IsNameWord(*word) || *word == "Options")
      headerColumns.push_back(std::nullopt);
    else
      headerColumns.push_back(table_.AddColumn(headerWords.back()));
  }
  const std::size_t firstField = !headerWords.empty() && IsNameWord(headerWords.front()) ? 1 : 0;

  bool reportedBadField = false;
  for (std::uint32_t run = 0; run < table_.Runs(experiment) && std::getline(in, line); ++run) {
    WordCursor row(line);
    if (firstField == 1) row.Next();  // the problem name
    for (std::size_t w = firstField; w < headerWords.size(); ++w) {
      if (headerWords[w] == "Options") break;  // the option text runs to the end of the line
      const auto field = row.Next();
      if (!field) break;  // a row that ends early: its remaining cells stay missing
      if (!headerColumns[w] || *field == "NA") continue;
      if (const auto value = ParseNumber(*field)) {
        table_.Set(problem, experiment, run, *headerColumns[w], *value);
      } else if (!reportedBadField) {
        reportedBadField = true;
        messages_.Show("Results file " + path + ", line " + std::to_string(run + 2) + ": field \"" +
                       std::string(*field) + "\" under " + headerWords[w] +
                       " is not a number; such fields are written as NA");
      }
    }
  }
}

}  // namespace mirelock
