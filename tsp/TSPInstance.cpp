#include "tsp/TSPInstance.h"

#include <cmath>
#include <iostream>
#include <limits>

#include "platform/FatalError.h"
#include "platform/InputFile.h"
#include "tsp/DistanceFunctions.h"

namespace mirelock {

namespace {

// No TSPLIB header word or COMMENT line comes near these lengths.
constexpr std::size_t kMaxHeaderWord = 4096;
constexpr std::size_t kMaxHeaderLine = 65536;

constexpr std::int32_t kUnsetDistance = std::numeric_limits<std::int32_t>::max();

[[noreturn]] void Fail(const std::string& text) { throw FatalError(text, OutputStream::Err, 1); }

// Which (row, column) elements an explicit EDGE_WEIGHT_SECTION lists, row by row.
struct MatrixLayout {
  const char* format;
  std::uint32_t (*firstColumn)(std::uint32_t row);
  std::uint32_t (*endColumn)(std::uint32_t row, std::uint32_t size);  // one past the last column
  bool mirrored;                                                      // also sets (column, row)
};

constexpr MatrixLayout kLayouts[] = {
    {"FULL_MATRIX", [](std::uint32_t) { return 0u; }, [](std::uint32_t, std::uint32_t n) { return n; },
     false},
    {"UPPER_ROW", [](std::uint32_t i) { return i + 1; }, [](std::uint32_t, std::uint32_t n) { return n; },
     true},
    {"UPPER_DIAG_ROW", [](std::uint32_t i) { return i; }, [](std::uint32_t, std::uint32_t n) { return n; },
     true},
    {"LOWER_DIAG_ROW", [](std::uint32_t) { return 0u; }, [](std::uint32_t i, std::uint32_t) { return i + 1; },
     true},
};

const MatrixLayout* FindLayout(const std::string& format) {
  for (const MatrixLayout& layout : kLayouts) {
    if (format == layout.format) return &layout;
  }
  return nullptr;
}

std::uint64_t WeightCount(const MatrixLayout& layout, std::uint32_t size) {
  std::uint64_t count = 0;
  for (std::uint32_t row = 0; row < size; ++row)
    count += layout.endColumn(row, size) - layout.firstColumn(row);
  return count;
}

}  // namespace

std::istream& TSPInstance::Read(std::istream& in) {
  // A second file replaces the first: nothing of it (header fields it set, its cities) may carry over.
  header_ = TSPHeader();
  coordinates_.clear();
  distances_ = IntMatrix();
  matrixPending_ = false;
  ++generation_;
  ReadHeader(in);
  if (header_.sectionKeyword == "NODE_COORD_SECTION") {
    ReadCoordinateSection(in);
  } else if (header_.sectionKeyword == "EDGE_WEIGHT_SECTION") {
    ReadEdgeWeightSection(in);
  } else {
    Fail("Unknown TSP edge data format: " + header_.sectionKeyword + "\n");
  }
  return in;
}

void TSPInstance::ReadHeader(std::istream& in) {
  for (;;) {
    std::string word;
    ReadHeaderWord(in, word);
    if (word == "NODE_COORD_SECTION" || word == "EDGE_WEIGHT_SECTION") {
      header_.sectionKeyword = word;
      return;
    }

    // "KEY:value", "KEY: value", "KEY : value" and "KEY :value" all name KEY;
    // whatever follows the colon inside the same word is dropped.
    std::string keyword = word;
    const std::size_t colon = word.find(':');
    if (!word.empty() && colon != std::string::npos) {
      keyword = word.substr(0, colon);
    } else {
      char next = 0;
      if (!(in >> next) || next != ':') Fail("Colon expected in TSP file\n");
    }

    bool restOfLineConsumed = false;
    if (keyword == "NAME") {
      ReadHeaderWord(in, header_.name);
    } else if (keyword == "COMMENT") {
      ReadHeaderLine(in, header_.comment);  // keeps the leading blank, drops the newline
      restOfLineConsumed = true;
    } else if (keyword == "TYPE") {
      ReadHeaderWord(in, header_.type);
      if (header_.type != "TSP") Fail("This program currently only supports symmetric TSPs\n");
    } else if (keyword == "DIMENSION") {
      if (!(in >> header_.dimension)) Malformed("DIMENSION is not a 32-bit integer");
    } else if (keyword == "NODE_COORD_TYPE") {
      ReadHeaderWord(in, header_.nodeCoordType);
    } else if (keyword == "EDGE_WEIGHT_TYPE") {
      ReadHeaderWord(in, header_.edgeWeightType);
    } else if (keyword == "EDGE_WEIGHT_FORMAT") {
      ReadHeaderWord(in, header_.edgeWeightFormat);
    } else if (keyword == "DISPLAY_DATA_TYPE") {
      ReadHeaderWord(in, header_.displayDataType);
    } else {
      std::cout << "Error: Unknown data in header\n" << std::flush;
      return;  // the empty section keyword makes Read fail
    }
    if (!restOfLineConsumed) in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
  }
}

void TSPInstance::ReadHeaderWord(std::istream& in, std::string& word) const {
  const BoundedRead result = ReadBoundedWord(in, word, kMaxHeaderWord);
  // The word may be the NAME that Malformed quotes: it is dropped first.
  const bool binary = word.find('\0') != std::string::npos;
  if (binary || result == BoundedRead::kTooLong) word.clear();
  if (binary) Malformed("the header holds a NUL character; this is not a text file");
  if (result == BoundedRead::kTooLong)
    Malformed("the header holds a word of more than " + std::to_string(kMaxHeaderWord) + " characters");
}

void TSPInstance::ReadHeaderLine(std::istream& in, std::string& line) const {
  const BoundedRead result = ReadBoundedLine(in, line, kMaxHeaderLine);
  if (line.find('\0') != std::string::npos)
    Malformed("the header holds a NUL character; this is not a text file");
  if (result == BoundedRead::kTooLong)
    Malformed("the COMMENT line is longer than " + std::to_string(kMaxHeaderLine) + " characters");
}

void TSPInstance::ReadCoordinateSection(std::istream& in) {
  if (header_.nodeCoordType != "TWOD_COORDS") {
    Fail("Error: Unknown TSP node coord type: " + header_.nodeCoordType + "\n");
  }
  const std::uint32_t n = Size();
  coordinates_.reserve(std::min<std::uint32_t>(n, kMaxCities));
  CityCoord record;
  // Records past DIMENSION would never be used: they are left unread.
  while (coordinates_.size() < n && in >> record.number >> record.x >> record.y)
    coordinates_.push_back(record);
  if (coordinates_.size() < n) {
    Malformed("NODE_COORD_SECTION holds " + std::to_string(coordinates_.size()) +
              " records but DIMENSION is " + std::to_string(n));
  }
  if (n > 0 && FindDistanceFunction(header_.edgeWeightType) == nullptr) {
    Fail("Edge type " + header_.edgeWeightType + " not supported\n");
  }
  matrixPending_ = true;
}

const IntMatrix& TSPInstance::Distances() const {
  if (matrixPending_) BuildCoordinateMatrix();
  return distances_;
}

void TSPInstance::BuildCoordinateMatrix() const {
  const std::uint32_t n = Size();
  if (n > kMaxCities) {
    const double megabytes = double{kFullScanTables} * n * n * 4 / 1e6;
    Malformed("the full-scan 2-opt search of " + std::to_string(n) + " cities would need " +
              std::to_string(static_cast<long long>(megabytes)) + " MB for its " +
              std::to_string(kFullScanTables) + " n x n tables (at most " + std::to_string(kMaxCities) +
              " cities); use the fast neighbourhood (--neighbourhood fast) for this instance");
  }
  distances_.Assign(n, kUnsetDistance);
  const DistanceFunction distance = FindDistanceFunction(header_.edgeWeightType);
  for (std::uint32_t i = 0; i < n; ++i) {
    for (std::uint32_t j = 0; j < n; ++j) {
      const double value = distance(coordinates_[i], coordinates_[j]);
      // Also false for a NaN, which non-finite coordinates produce.
      if (!(value >= std::numeric_limits<std::int32_t>::min() && value <= kUnsetDistance)) {
        distances_ = IntMatrix();
        Malformed("the distance of cities " + std::to_string(i + 1) + " and " + std::to_string(j + 1) +
                  " does not fit in a 32-bit integer");
      }
      distances_(i, j) = static_cast<std::int32_t>(value);
    }
  }
  matrixPending_ = false;
}

void TSPInstance::ReadEdgeWeightSection(std::istream& in) {
  const MatrixLayout* layout = FindLayout(header_.edgeWeightFormat);
  if (layout == nullptr) Fail("Error: Unknown MATRIX format for TSP: " + header_.edgeWeightFormat + "\n");
  CheckSizeLimit();
  const std::uint32_t n = Size();

  // Collect the weights before allocating the matrix, so that its size is
  // backed by the file's contents and not by the DIMENSION line alone.
  const std::uint64_t needed = WeightCount(*layout, n);
  std::vector<std::int32_t> weights;
  std::int32_t weight = 0;
  while (weights.size() < needed && in >> weight) weights.push_back(weight);
  if (weights.size() < needed) {
    Malformed("EDGE_WEIGHT_SECTION holds " + std::to_string(weights.size()) + " of the " +
              std::to_string(needed) + " weights that " + layout->format + " needs for DIMENSION " +
              std::to_string(n));
  }

  distances_.Assign(n, kUnsetDistance);
  std::size_t next = 0;
  for (std::uint32_t i = 0; i < n; ++i) {
    for (std::uint32_t j = layout->firstColumn(i); j < layout->endColumn(i, n); ++j) {
      distances_(i, j) = weights[next];
      if (layout->mirrored) distances_(j, i) = weights[next];
      ++next;
    }
  }
}

void TSPInstance::CheckSizeLimit() const {
  if (Size() > kMaxCities) {
    Malformed("DIMENSION " + std::to_string(Size()) + " is too large (at most " + std::to_string(kMaxCities) +
              " cities)");
  }
}

void TSPInstance::Malformed(const std::string& what) const {
  Fail("Error: TSP file " + (header_.name.empty() ? std::string("without NAME") : header_.name) + ": " +
       what + "\n");
}

}  // namespace mirelock
