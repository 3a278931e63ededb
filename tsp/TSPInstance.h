#pragma once
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "solver/ProblemInstance.h"
#include "tsp/IntMatrix.h"
#include "tsp/TSPHeader.h"

namespace mirelock {

// A symmetric TSP read from a TSPLIB ".tsp" file: coordinates with EUC_2D,
// CEIL_2D, ATT or GEO distances, or an explicit matrix in one of four layouts.
// An explicit matrix is read whole. For coordinates the matrix is built at its
// first use, by the full-scan search, so that the fast search can compute
// distances on the fly in O(n) memory. Format errors raise FatalError.
class TSPInstance : public ProblemInstance {
 public:
  // The distance matrix takes n * n integers and the full-scan search keeps
  // more tables of that size; beyond this many cities an explicit matrix is
  // refused rather than exhausting memory, and the matrix of a coordinate
  // instance is not built (the fast search does without it).
  static constexpr std::uint32_t kMaxCities = 20000;
  // The n x n tables of 32-bit integers that the full-scan search keeps.
  static constexpr std::uint32_t kFullScanTables = 5;

  std::istream& Read(std::istream& in) override;
  // Changes with every instance read, so that what a search built from an earlier one (neighbour lists,
  // cached distances) is known to be stale.
  std::uint64_t Generation() const { return generation_; }

  std::uint32_t Size() const { return static_cast<std::uint32_t>(header_.dimension); }
  const TSPHeader& Header() const { return header_; }
  const std::vector<CityCoord>& Coordinates() const { return coordinates_; }
  // The n x n matrix; for coordinates it is built here at the first call, and
  // refused (FatalError) beyond kMaxCities cities, before anything is allocated.
  const IntMatrix& Distances() const;

 private:
  void ReadHeader(std::istream& in);
  // A header word or the COMMENT line, bounded so that a file without white
  // space or line ends (a sparse or binary file) is refused within a page.
  void ReadHeaderWord(std::istream& in, std::string& word) const;
  void ReadHeaderLine(std::istream& in, std::string& line) const;
  void ReadCoordinateSection(std::istream& in);
  void ReadEdgeWeightSection(std::istream& in);
  void CheckSizeLimit() const;
  void BuildCoordinateMatrix() const;
  [[noreturn]] void Malformed(const std::string& what) const;

  TSPHeader header_;
  std::vector<CityCoord> coordinates_;
  // Built lazily from the coordinates; the search's const view of the
  // instance must be able to ask for it.
  mutable IntMatrix distances_;
  mutable bool matrixPending_ = false;
  std::uint64_t generation_ = 0;
};

}  // namespace mirelock
