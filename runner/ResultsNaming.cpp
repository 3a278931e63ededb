#include "runner/ResultsNaming.h"

#include <map>

#include "runner/ProblemDiscovery.h"
#include "runner/ResultsFiles.h"

namespace mirelock {

namespace {

std::string CutName(const std::string& problem) { return problem.substr(0, problem.find('.')); }

}  // namespace

ResultsNaming::ResultsNaming(const std::vector<std::string>& problems) {
  std::map<std::string, std::vector<const std::string*>> byCutName;
  for (const std::string& problem : problems) byCutName[CutName(problem)].push_back(&problem);
  for (const auto& [cut, group] : byCutName) {
    if (group.size() < 2) continue;
    for (const std::string* problem : group) wholeNamed_.insert(*problem);
  }
}

std::string ResultsNaming::ProblemPiece(const std::string& problem) const {
  return wholeNamed_.contains(problem) ? problem : CutName(problem);
}

std::string ResultsNaming::FileName(ProblemType type, const std::string& problem,
                                    const CExperiment& experiment) const {
  return ResultsFilenameForPiece(type, ProblemPiece(problem), experiment);
}

std::optional<std::string> ResultsNaming::Refusal(ProblemType type, const std::vector<std::string>& problems,
                                                  const std::vector<CExperiment>& experiments) const {
  for (const std::string& problem : problems)
    for (const CExperiment& experiment : experiments) {
      const std::string name = FileName(type, problem, experiment);
      if (name.size() > kMaxResultsNameBytes)
        return "Cannot name the results file of problem " + problem + " with experiment \"" +
               experiment.GetParamAt(0) + "...\": its name " + name + " has " + std::to_string(name.size()) +
               " bytes, more than the " + std::to_string(kMaxResultsNameBytes) +
               " a file name may have; give the problem a shorter name. Nothing was solved.";
    }
  return std::nullopt;
}

ResultsNaming NamingForDirectory(const std::string& problemsDirectory, ProblemType type) {
  return ResultsNaming(DiscoverProblems(problemsDirectory, type));
}

}  // namespace mirelock
