#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

#include "tsp/DistanceFormulas.h"
#include "tsp/IntMatrix.h"
#include "tsp/TSPInstance.h"

namespace mirelock {

// Distances of a TSP instance without an n x n matrix: computed on the fly
// from the coordinates (EUC_2D, CEIL_2D, ATT, GEO, the same values as the
// instance's matrix would hold), or read from an explicit matrix, which such
// an instance has anyway. The distance is symmetric: an explicit matrix is
// read at (min, max), as the search reads symmetric values.
class CityDistances {
 public:
  enum class Kind { kMatrix, kEuclidean, kCeiling, kPseudoEuclidean, kGeographical };

  // Throws FatalError when a distance could leave 32 bits (coordinates that
  // span too far, or are not finite).
  explicit CityDistances(const TSPInstance& instance);

  Kind GetKind() const { return kind_; }
  std::uint32_t Size() const { return n_; }
  // Planar coordinates of the cities (x, y), or latitude and longitude in radians for GEO.
  double X(std::int32_t city) const { return x_[static_cast<std::size_t>(city)]; }
  double Y(std::int32_t city) const { return y_[static_cast<std::size_t>(city)]; }

  std::int32_t operator()(std::int32_t a, std::int32_t b) const {
    namespace f = distance_formulas;
    const auto i = static_cast<std::size_t>(a);
    const auto j = static_cast<std::size_t>(b);
    switch (kind_) {
      case Kind::kMatrix:
        return (*matrix_)(std::min(i, j), std::max(i, j));
      case Kind::kEuclidean:
        return static_cast<std::int32_t>(f::Euclidean(x_[i] - x_[j], y_[i] - y_[j]));
      case Kind::kCeiling:
        return static_cast<std::int32_t>(f::CeilingEuclidean(x_[i] - x_[j], y_[i] - y_[j]));
      case Kind::kPseudoEuclidean:
        return static_cast<std::int32_t>(f::PseudoEuclidean(x_[i] - x_[j], y_[i] - y_[j]));
      case Kind::kGeographical:
        return static_cast<std::int32_t>(f::Geographical(x_[i], y_[i], x_[j], y_[j]));
    }
    return 0;
  }

  // Length of a closed tour, in 64 bits: a random tour of a large instance
  // is longer than 2^31.
  std::int64_t TourCost(const std::vector<std::int32_t>& tour) const;

 private:
  void CheckCoordinateSpan(const TSPInstance& instance) const;

  Kind kind_ = Kind::kMatrix;
  std::uint32_t n_ = 0;
  const IntMatrix* matrix_ = nullptr;
  std::vector<double> x_;
  std::vector<double> y_;
};

}  // namespace mirelock
