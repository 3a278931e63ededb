#include "runner/ResultsFileCheck.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace mirelock {

namespace {

constexpr std::size_t kMaxLineCharacters = 1023;
constexpr std::string_view kHeaderStart = "Problem_name\t";
constexpr std::string_view kHeaderEnd = "\tOptions";

bool IsHeader(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line.size() >= kHeaderStart.size() + kHeaderEnd.size() - 1 && line.starts_with(kHeaderStart) &&
         line.ends_with(kHeaderEnd);
}

std::string FieldCount(std::size_t fields) { return std::to_string(fields) + (fields == 1 ? " field" : " fields"); }

}  // namespace

ResultsFileCheck CheckResultsFile(const std::string& path, const std::string& problem, std::uint32_t runs) {
  ResultsFileCheck check;
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    if (errno != ENOENT) {
      check.exists = true;
      check.defect = std::string("cannot be read: ") + std::strerror(errno);
    }
    return check;
  }
  check.exists = true;
  // Opening a FIFO for reading would wait for a writer, and a directory has no lines.
  if (!S_ISREG(status.st_mode)) {
    check.defect = S_ISDIR(status.st_mode) ? "is a directory" : "is not a regular file";
    return check;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    check.defect = std::string("cannot be read: ") + std::strerror(errno);
    return check;
  }

  std::streambuf& bytes = *in.rdbuf();
  std::string line;
  std::size_t lineNumber = 1;
  std::size_t headerFields = 0;
  for (;;) {
    line.clear();
    std::size_t fields = 1;
    int c;
    while ((c = bytes.sbumpc()) != std::char_traits<char>::eof() && c != '\n') {
      if (line.size() == kMaxLineCharacters) {
        check.defect = "line " + std::to_string(lineNumber) + " is longer than " +
                       std::to_string(kMaxLineCharacters) + " characters";
        return check;
      }
      line.push_back(static_cast<char>(c));
      if (c == '\t') ++fields;
    }
    if (c == std::char_traits<char>::eof()) {
      if (!line.empty())
        check.defect = "line " + std::to_string(lineNumber) + " ends without a newline: the file was cut short";
      else if (lineNumber == 1)
        check.defect = "is empty";
      break;
    }
    if (lineNumber == 1) {
      if (!IsHeader(line)) {
        check.defect = "does not start with a results header (Problem_name ... Options)";
        return check;
      }
      headerFields = fields;
    } else {
      if (fields != headerFields) {
        check.defect = "line " + std::to_string(lineNumber) + " has " + FieldCount(fields) + ", the header " +
                       std::to_string(headerFields);
        return check;
      }
      const std::string_view name = std::string_view(line).substr(0, line.find('\t'));
      if (name != problem) {
        check.defect = "line " + std::to_string(lineNumber) + " is a run of " + std::string(name) + ", not of " +
                       problem;
        return check;
      }
      ++check.runLines;
    }
    ++lineNumber;
  }
  check.complete = check.defect.empty() && check.runLines >= runs;
  return check;
}

}  // namespace mirelock
