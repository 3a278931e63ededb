#include "solver/ProblemType.h"

#include <algorithm>
#include <cctype>

namespace mirelock {

namespace {
struct TypeRow {
  const char* extension;
  const char* menuName;
  const char* resultsPiece;
  const char* keyword;
};

// One row per problem type, indexed by its code.
constexpr TypeRow kTypes[kProblemTypeCount] = {
    {"cnf", "SAT", "SAT_", "sat"},
    {"sat", "MAX-SAT", "MAXSAT_", "maxsat"},
    {"dat", "QAP", "QAP_", "qap"},
    {"tsp", "TSP", "TSP_", "tsp"},
};

const TypeRow& Row(ProblemType type) { return kTypes[type < kProblemTypeCount ? static_cast<std::uint32_t>(type) : 0u]; }

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}
}  // namespace

const char* ProblemExtension(ProblemType type) { return Row(type).extension; }
const char* ProblemMenuName(ProblemType type) { return Row(type).menuName; }
const char* ResultsNamePiece(ProblemType type) { return Row(type).resultsPiece; }
const char* ProblemKeyword(ProblemType type) { return Row(type).keyword; }

std::optional<ProblemType> ProblemTypeFromKeyword(const std::string& keyword) {
  for (std::uint32_t t = 0; t < kProblemTypeCount; ++t)
    if (keyword == kTypes[t].keyword) return static_cast<ProblemType>(t);
  return std::nullopt;
}

std::optional<ProblemType> ProblemTypeFromPath(const std::string& path) {
  const auto dot = path.find_last_of('.');
  const auto slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::nullopt;
  const std::string extension = Lower(path.substr(dot + 1));
  for (std::uint32_t t = 0; t < kProblemTypeCount; ++t)
    if (extension == kTypes[t].extension) return static_cast<ProblemType>(t);
  return std::nullopt;
}

}  // namespace mirelock
