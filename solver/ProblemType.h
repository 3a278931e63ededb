#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace mirelock {

// The code of a problem type, shared by the document file, the runner and the summariser.
enum ProblemType : std::uint32_t {
  kProblemSAT = 0,
  kProblemMaxSAT = 1,
  kProblemQAP = 2,
  kProblemTSP = 3,
};

inline constexpr std::uint32_t kProblemTypeCount = 4;

// Extension of the problem files of a type, without the dot (cnf, sat, dat, tsp).
const char* ProblemExtension(ProblemType type);
// The menu entry of a type ("SAT", "MAX-SAT", "QAP", "TSP").
const char* ProblemMenuName(ProblemType type);
// The piece a results file name starts with ("SAT_", "MAXSAT_", "QAP_", "TSP_").
const char* ResultsNamePiece(ProblemType type);

// Command-line spelling: sat, maxsat, qap, tsp.
const char* ProblemKeyword(ProblemType type);
std::optional<ProblemType> ProblemTypeFromKeyword(const std::string& keyword);
// By a file's extension, case-insensitively (.cnf sat, .sat maxsat, .dat qap, .tsp tsp).
std::optional<ProblemType> ProblemTypeFromPath(const std::string& path);

}  // namespace mirelock
