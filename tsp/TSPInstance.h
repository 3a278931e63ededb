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
// The whole distance matrix is built at reading time; the search only indexes
// it. Format errors raise FatalError.
class TSPInstance : public ProblemInstance {
 public:
  // The distance matrix takes n * n integers and the search keeps two more
  // tables of that size; beyond this many cities a file is refused rather than
  // exhausting memory.
  static constexpr std::uint32_t kMaxCities = 20000;

  std::istream& Read(std::istream& in) override;

  std::uint32_t Size() const { return static_cast<std::uint32_t>(header_.dimension); }
  const TSPHeader& Header() const { return header_; }
  const std::vector<CityCoord>& Coordinates() const { return coordinates_; }
  const IntMatrix& Distances() const { return distances_; }

 private:
  void ReadHeader(std::istream& in);
  // A header word or the COMMENT line, bounded so that a file without white
  // space or line ends (a sparse or binary file) is refused within a page.
  void ReadHeaderWord(std::istream& in, std::string& word) const;
  void ReadHeaderLine(std::istream& in, std::string& line) const;
  void ReadCoordinateSection(std::istream& in);
  void ReadEdgeWeightSection(std::istream& in);
  void CheckSizeLimit() const;
  [[noreturn]] void Malformed(const std::string& what) const;

  TSPHeader header_;
  std::vector<CityCoord> coordinates_;
  IntMatrix distances_;
};

}  // namespace mirelock
