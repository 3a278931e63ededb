#include "tsp/CityDistances.h"

#include <cmath>
#include <limits>
#include <string>

#include "platform/FatalError.h"

namespace mirelock {

CityDistances::CityDistances(const TSPInstance& instance) : n_(instance.Size()) {
  const std::string& type = instance.Header().edgeWeightType;
  if (instance.Header().sectionKeyword != "NODE_COORD_SECTION") {
    kind_ = Kind::kMatrix;
    matrix_ = &instance.Distances();
    return;
  }
  if (type == "EUC_2D") {
    kind_ = Kind::kEuclidean;
  } else if (type == "CEIL_2D") {
    kind_ = Kind::kCeiling;
  } else if (type == "ATT") {
    kind_ = Kind::kPseudoEuclidean;
  } else if (type == "GEO") {
    kind_ = Kind::kGeographical;
  } else {
    throw FatalError("Edge type " + type + " not supported\n", OutputStream::Err, 1);
  }
  CheckCoordinateSpan(instance);
  x_.resize(n_);
  y_.resize(n_);
  for (std::uint32_t c = 0; c < n_; ++c) {
    const CityCoord& coord = instance.Coordinates()[c];
    x_[c] = kind_ == Kind::kGeographical ? distance_formulas::GeoRadians(coord.x) : coord.x;
    y_[c] = kind_ == Kind::kGeographical ? distance_formulas::GeoRadians(coord.y) : coord.y;
  }
}

// No pair of cities is farther apart than the corners of their bounding box,
// and the planar distances grow with the Euclidean one, so one distance
// bounds them all. GEO distances are at most half the earth's circumference.
void CityDistances::CheckCoordinateSpan(const TSPInstance& instance) const {
  if (n_ == 0) return;
  double minX = 0, maxX = 0, minY = 0, maxY = 0;
  for (std::uint32_t c = 0; c < n_; ++c) {
    const CityCoord& coord = instance.Coordinates()[c];
    if (!std::isfinite(coord.x) || !std::isfinite(coord.y)) {
      throw FatalError("Error: TSP file " + instance.Header().name + ": city " + std::to_string(c + 1) +
                           " has a coordinate that is not a finite number\n",
                       OutputStream::Err, 1);
    }
    minX = c == 0 ? coord.x : std::min(minX, coord.x);
    maxX = c == 0 ? coord.x : std::max(maxX, coord.x);
    minY = c == 0 ? coord.y : std::min(minY, coord.y);
    maxY = c == 0 ? coord.y : std::max(maxY, coord.y);
  }
  if (kind_ == Kind::kGeographical) return;
  const double span = distance_formulas::CeilingEuclidean(maxX - minX, maxY - minY) + 1;
  if (!(span <= std::numeric_limits<std::int32_t>::max())) {
    throw FatalError("Error: TSP file " + instance.Header().name +
                         ": the coordinates span a distance that does not fit in a 32-bit integer\n",
                     OutputStream::Err, 1);
  }
}

std::int64_t CityDistances::TourCost(const std::vector<std::int32_t>& tour) const {
  if (tour.empty()) return 0;
  std::int64_t cost = (*this)(tour.front(), tour.back());
  for (std::size_t k = 0; k + 1 < tour.size(); ++k) cost += (*this)(tour[k], tour[k + 1]);
  return cost;
}

}  // namespace mirelock
