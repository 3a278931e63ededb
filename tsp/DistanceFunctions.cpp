#include "tsp/DistanceFunctions.h"

#include "tsp/DistanceFormulas.h"

namespace mirelock {

namespace {

struct NamedDistance {
  const char* edgeWeightType;
  DistanceFunction function;
};

constexpr NamedDistance kDistances[] = {
    {"EUC_2D", EuclideanDistance},
    {"CEIL_2D", CeilingEuclideanDistance},
    {"ATT", PseudoEuclideanDistance},
    {"GEO", GeographicalDistance},
};

}  // namespace

double EuclideanDistance(const CityCoord& from, const CityCoord& to) {
  return distance_formulas::Euclidean(from.x - to.x, from.y - to.y);
}

double CeilingEuclideanDistance(const CityCoord& from, const CityCoord& to) {
  return distance_formulas::CeilingEuclidean(from.x - to.x, from.y - to.y);
}

double PseudoEuclideanDistance(const CityCoord& from, const CityCoord& to) {
  return distance_formulas::PseudoEuclidean(from.x - to.x, from.y - to.y);
}

double GeographicalDistance(const CityCoord& from, const CityCoord& to) {
  using distance_formulas::GeoRadians;
  return distance_formulas::Geographical(GeoRadians(from.x), GeoRadians(from.y), GeoRadians(to.x),
                                         GeoRadians(to.y));
}

DistanceFunction FindDistanceFunction(const std::string& edgeWeightType) {
  for (const NamedDistance& entry : kDistances) {
    if (edgeWeightType == entry.edgeWeightType) return entry.function;
  }
  return nullptr;
}

}  // namespace mirelock
