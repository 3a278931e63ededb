#include "summary/CompletedProblems.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <system_error>

#include "runner/ProblemDiscovery.h"
#include "platform/FilePaths.h"
#include "runner/ResultsFileCheck.h"
#include "runner/ResultsFiles.h"

namespace fs = std::filesystem;

namespace mirelock {

namespace {

// "*.txt" as a directory listing matches it: the extension in any case.
bool HasTxtExtension(const std::string& name) {
  const std::string suffix = ".txt";
  if (name.size() < suffix.size()) return false;
  return std::equal(suffix.begin(), suffix.end(), name.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

// Names of the non-directory "*.txt" entries of the results directory.
std::vector<std::string> ListResultsFileNames(const std::string& directory, UserMessages& messages) {
  std::vector<std::string> names;
  std::error_code error;
  fs::directory_iterator it(directory, error);
  if (error) {
    messages.Show("Cannot read the directory " + directory + ": " + error.message());
    return names;
  }
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) break;
    std::error_code typeError;
    if (it->is_directory(typeError)) continue;
    const std::string name = it->path().filename().string();
    if (HasTxtExtension(name)) names.push_back(name);
  }
  return names;
}

}  // namespace

CompletedProblems FindCompletedProblems(const CompletedProblemsQuery& query, UserMessages& messages) {
  // The same listing the batch run works through, in ascending byte order,
  // and the same names for its results files.
  std::vector<std::string> problems = DiscoverProblems(query.problemsDirectory, query.problemType);
  std::sort(problems.begin(), problems.end());
  CompletedProblems completed{{}, ResultsNaming(problems)};
  const std::vector<std::string> resultsList = ListResultsFileNames(query.resultsDirectory, messages);
  const std::set<std::string> resultsNames(resultsList.begin(), resultsList.end());
  const std::set<std::string> solved(query.solvedProblems.begin(), query.solvedProblems.end());

  std::string leftOut;
  for (const std::string& problem : problems) {
    if (query.runStarted && !solved.contains(problem)) continue;
    std::string why;
    for (const CExperiment& experiment : query.experiments) {
      const std::string name = completed.naming.FileName(query.problemType, problem, experiment);
      if (!resultsNames.contains(name)) {
        why = "no results file " + name;
        break;
      }
      const ResultsFileCheck check =
          CheckResultsFile(JoinPath(query.resultsDirectory, name), problem, experiment.m_nNumRuns);
      if (!check.defect.empty()) {
        why = name + " " + check.defect;
        break;
      }
      if (!check.complete) {
        why = name + " holds " + std::to_string(check.runLines) + " of " + std::to_string(experiment.m_nNumRuns) +
              " runs";
        break;
      }
    }
    if (why.empty())
      completed.problems.push_back(problem);
    else
      leftOut += "\n  " + problem + ": " + why;
  }
  if (!leftOut.empty()) messages.Show("Problems left out, without a complete results file for every experiment:" + leftOut);
  return completed;
}

}  // namespace mirelock
