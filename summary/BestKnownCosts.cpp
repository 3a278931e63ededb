#include "summary/BestKnownCosts.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <vector>

#include "platform/InputFile.h"

namespace mirelock {

namespace {

constexpr const char* kFailedToRead = "Failed to read in best known/optimal costs in best.txt";
constexpr const char* kUnknownType =
    "Unknown how to read best known costs file for current problem type in void "
    "CSummariser::ReadInBestKnownCosts()..Please add code\n";
// The longest header line of a MAX-SAT best.txt.
constexpr std::size_t kMaxHeaderLength = 255;
// A message names at most this many skipped lines.
constexpr int kListedSkippedLines = 10;
// No best.txt line comes near this length; a longer one means the file is not a best.txt.
constexpr std::size_t kMaxLineLength = 4096;
// At most this many refused entries are described one by one.
constexpr int kListedRefusals = 10;
// Far beyond any cost a solver reports (64-bit sums of weights and of QAP
// products); a larger value is a typing error that would make every gap 0.
constexpr double kLargestCost = 9223372036854775807.0;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

std::optional<double> ParseNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "cost" or "[lower upper]" (blanks inside the brackets optional): the cost, or the upper bound.
std::optional<double> ParseCost(std::string text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return std::nullopt;
  text = text.substr(first, text.find_last_not_of(" \t\r") + 1 - first);
  if (text.front() != '[') {
    const auto words = Words(text);
    return words.size() == 1 ? ParseNumber(words[0]) : std::nullopt;
  }
  if (text.back() != ']') return std::nullopt;
  const auto bounds = Words(text.substr(1, text.size() - 2));
  if (bounds.size() != 2 || !ParseNumber(bounds[0])) return std::nullopt;
  return ParseNumber(bounds[1]);
}

}  // namespace

std::optional<double> BestKnownCosts::Find(const std::map<std::string, double>& map,
                                           const std::string& problem) {
  const auto it = map.find(problem);
  if (it == map.end()) return std::nullopt;
  return it->second;
}

BestKnownCosts BestKnownCostsReader::Read(std::uint32_t problemType, const std::string& problemsDirectory) {
  BestKnownCosts costs;
  skippedLines_.clear();
  skippedCount_ = 0;
  if (problemType == kProblemSAT) return costs;
  if (problemType >= kProblemTypeCount) {
    messages_.Show(kUnknownType);
    return costs;
  }
  const std::string path = (std::filesystem::path(problemsDirectory) / "best.txt").string();
  InputFileStream in(path);
  if (!in) {
    // A FIFO, directory or device under the name is refused unread, and said so.
    messages_.Show(in.NotRegular() ? kFailedToRead + std::string(": ") + in.Error() : kFailedToRead);
    return costs;
  }
  costs.fileRead = true;
  lineNumber_ = 0;
  refusals_ = 0;
  lineOf_.clear();
  duplicates_.clear();
  if (problemType == kProblemMaxSAT)
    ReadMaxSat(in, path, costs);
  else
    ReadSingleCosts(in, path, problemType == kProblemTSP ? ".tsp" : "", costs);
  if (refusals_ > kListedRefusals)
    messages_.Show("In " + path + ", " + std::to_string(refusals_ - kListedRefusals) +
                   " more entries were refused");
  return costs;
}

bool BestKnownCostsReader::NextLine(std::istream& in, const std::string& path, std::string& line) {
  const BoundedRead result = ReadBoundedLine(in, line, kMaxLineLength);
  if (result == BoundedRead::kEnd) return false;
  ++lineNumber_;
  // Editors on Windows start a UTF-8 file with a byte order mark, which would
  // otherwise become part of the first name.
  if (lineNumber_ == 1 && line.starts_with(kByteOrderMark)) line.erase(0, kByteOrderMark.size());
  const bool binary = line.find('\0') != std::string::npos;
  if (result == BoundedRead::kTooLong || binary) {
    messages_.Show(kFailedToRead + std::string(": line ") + std::to_string(lineNumber_) + " of " + path +
                   (binary ? " holds a NUL character; this is not a text file"
                           : " is longer than " + std::to_string(kMaxLineLength) + " characters") +
                   "; the rest of the file was not read");
    return false;
  }
  return true;
}

void BestKnownCostsReader::Refuse(const std::string& text) {
  if (refusals_++ < kListedRefusals) messages_.Show(text);
}

bool BestKnownCostsReader::Usable(const std::string& path, const std::string& name,
                                  std::initializer_list<double> values) {
  for (double value : values) {
    std::string why;
    if (!std::isfinite(value))
      why = "is not a finite number";
    else if (value < 0)
      why = "is negative";
    else if (value > kLargestCost)
      why = "is larger than any cost a run can have";
    if (why.empty()) continue;
    std::ostringstream text;
    text << "In " << path << ", line " << lineNumber_ << ": the best known value " << value << " of " << name
         << " " << why << "; " << name << " has no best known cost";
    Refuse(text.str());
    return false;
  }
  return true;
}

bool BestKnownCostsReader::FirstOccurrence(const std::string& path, const std::string& name,
                                           BestKnownCosts& costs) {
  const auto [it, added] = lineOf_.emplace(name, lineNumber_);
  if (added) return true;
  // A name listed twice has no trustworthy value: neither line counts.
  if (duplicates_.insert(name).second)
    Refuse("In " + path + ", " + name + " is listed on line " + std::to_string(it->second) +
           " and again on line " + std::to_string(lineNumber_) + "; " + name + " has no best known cost");
  costs.first.erase(name);
  costs.second.erase(name);
  costs.third.erase(name);
  return false;
}

void BestKnownCostsReader::ReadMaxSat(std::istream& in, const std::string& path, BestKnownCosts& costs) {
  // Only the header's first characters are looked at, however long the line is.
  std::string line;
  const BoundedRead header = ReadBoundedLine(in, line, kMaxHeaderLength + kByteOrderMark.size() + 1);
  lineNumber_ = 1;
  if (line.starts_with(kByteOrderMark)) line.erase(0, kByteOrderMark.size());
  if (!line.empty() && line.back() == '\r' && header != BoundedRead::kTooLong) line.pop_back();
  if (line.size() > kMaxHeaderLength) {
    messages_.Show(kFailedToRead + std::string(": the header line of ") + path + " is longer than " +
                   std::to_string(kMaxHeaderLength) + " characters");
    return;
  }
  while (NextLine(in, path, line)) {
    const auto words = Words(line);
    if (words.empty()) continue;
    std::optional<double> numbers[3];
    if (words.size() == 4)
      for (int i = 0; i < 3; ++i) numbers[i] = ParseNumber(words[i + 1]);
    if (!numbers[0] || !numbers[1] || !numbers[2]) {
      NoteSkippedLine(lineNumber_);
      continue;
    }
    if (!FirstOccurrence(path, words[0], costs) ||
        !Usable(path, words[0], {*numbers[0], *numbers[1], *numbers[2]}))
      continue;
    costs.first.emplace(words[0], *numbers[0]);
    costs.second.emplace(words[0], *numbers[1]);
    costs.third.emplace(words[0], *numbers[2]);
  }
  ReportSkippedLines(path, "a name and three numbers");
}

void BestKnownCostsReader::ReadSingleCosts(std::istream& in, const std::string& path, const char* nameSuffix,
                                           BestKnownCosts& costs) {
  std::string line;
  while (NextLine(in, path, line)) {
    std::istringstream fields(line);
    std::string name;
    if (!(fields >> name)) continue;  // a blank line
    std::string rest;
    std::getline(fields, rest);
    const auto cost = ParseCost(rest);
    if (!cost) {
      NoteSkippedLine(lineNumber_);
      continue;
    }
    name += nameSuffix;
    if (!FirstOccurrence(path, name, costs) || !Usable(path, name, {*cost})) continue;
    costs.first.emplace(name, *cost);
  }
  ReportSkippedLines(path, "a name and a cost or a bracketed [lower upper] pair");
}

void BestKnownCostsReader::NoteSkippedLine(int lineNumber) {
  if (skippedCount_++ < kListedSkippedLines)
    skippedLines_.append(skippedCount_ > 1 ? ", " : "").append(std::to_string(lineNumber));
}

void BestKnownCostsReader::ReportSkippedLines(const std::string& path, const std::string& expected) {
  if (skippedCount_ == 0) return;
  if (skippedCount_ > kListedSkippedLines)
    skippedLines_ += " and " + std::to_string(skippedCount_ - kListedSkippedLines) + " more";
  messages_.Show("In " + path + (skippedCount_ == 1 ? ", line " : ", lines ") + skippedLines_ +
                 " did not hold " + expected + "; " + (skippedCount_ == 1 ? "it was" : "they were") +
                 " skipped");
}

}  // namespace mirelock
