#pragma once
#include <cstdint>
#include <string>

namespace mirelock {

// The keyword lines at the head of a TSPLIB file, before its data section.
struct TSPHeader {
  std::string nodeCoordType = "TWOD_COORDS";
  std::string sectionKeyword;  // the section keyword that ended the header
  std::string displayDataType;
  std::string name;
  std::string comment;
  std::string type;
  std::int32_t dimension = 0;  // used as unsigned
  std::string edgeWeightType;
  std::string edgeWeightFormat;
};

// One record of a NODE_COORD_SECTION; the number is read but cities are numbered by file order.
struct CityCoord {
  std::int32_t number = 0;
  double x = 0.0;
  double y = 0.0;
};

}  // namespace mirelock
