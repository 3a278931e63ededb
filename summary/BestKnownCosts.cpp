#include "summary/BestKnownCosts.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

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
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
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
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    messages_.Show(kFailedToRead);
    return costs;
  }
  costs.fileRead = true;
  if (problemType == kProblemMaxSAT)
    ReadMaxSat(in, path, costs);
  else
    ReadSingleCosts(in, path, problemType == kProblemTSP ? ".tsp" : "", costs);
  return costs;
}

void BestKnownCostsReader::ReadMaxSat(std::istream& in, const std::string& path, BestKnownCosts& costs) {
  // Only the header's first characters are looked at, however long the line is.
  std::string line;
  for (int c;
       line.size() <= kMaxHeaderLength && (c = in.get()) != std::char_traits<char>::eof() && c != '\n';)
    line += static_cast<char>(c);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > kMaxHeaderLength) {
    messages_.Show(kFailedToRead + std::string(": the header line of ") + path + " is longer than " +
                   std::to_string(kMaxHeaderLength) + " characters");
    return;
  }
  for (int lineNumber = 2; std::getline(in, line); ++lineNumber) {
    const auto words = Words(line);
    if (words.empty()) continue;
    std::optional<double> numbers[3];
    if (words.size() == 4)
      for (int i = 0; i < 3; ++i) numbers[i] = ParseNumber(words[i + 1]);
    if (!numbers[0] || !numbers[1] || !numbers[2]) {
      NoteSkippedLine(lineNumber);
      continue;
    }
    costs.first.emplace(words[0], *numbers[0]);
    costs.second.emplace(words[0], *numbers[1]);
    costs.third.emplace(words[0], *numbers[2]);
  }
  ReportSkippedLines(path, "a name and three numbers");
}

void BestKnownCostsReader::ReadSingleCosts(std::istream& in, const std::string& path, const char* nameSuffix,
                                           BestKnownCosts& costs) {
  std::string line;
  for (int lineNumber = 1; std::getline(in, line); ++lineNumber) {
    std::istringstream fields(line);
    std::string name;
    if (!(fields >> name)) continue;  // a blank line
    std::string rest;
    std::getline(fields, rest);
    const auto cost = ParseCost(rest);
    if (!cost) {
      NoteSkippedLine(lineNumber);
      continue;
    }
    costs.first.emplace(name + nameSuffix, *cost);
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
