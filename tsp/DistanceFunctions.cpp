#include "tsp/DistanceFunctions.h"

#include <cmath>

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

// Degrees.minutes to radians, with TSPLIB's value of pi (3.141592 / 180).
double GeoRadians(double coordinate) {
  const double degrees = std::trunc(coordinate);
  return 0.0174532888888889 * (degrees + (coordinate - degrees) * 1.6666666666666665);
}

}  // namespace

double EuclideanDistance(const CityCoord& from, const CityCoord& to) {
  const double dx = from.x - to.x;
  const double dy = from.y - to.y;
  return std::trunc(std::floor(std::sqrt(dx * dx + dy * dy) + 0.5));
}

double CeilingEuclideanDistance(const CityCoord& from, const CityCoord& to) {
  const double dx = from.x - to.x;
  const double dy = from.y - to.y;
  return std::trunc(std::ceil(std::sqrt(dx * dx + dy * dy)));
}

double PseudoEuclideanDistance(const CityCoord& from, const CityCoord& to) {
  const double dx = from.x - to.x;
  const double dy = from.y - to.y;
  const double r = std::sqrt((dx * dx + dy * dy) * 0.1);
  const double t = std::trunc(std::floor(r + 0.5));
  return t < r ? t + 1 : t;
}

double GeographicalDistance(const CityCoord& from, const CityCoord& to) {
  const double latFrom = GeoRadians(from.x);
  const double lonFrom = GeoRadians(from.y);
  const double latTo = GeoRadians(to.x);
  const double lonTo = GeoRadians(to.y);
  const double q1 = std::cos(lonFrom - lonTo);
  const double q2 = std::cos(latFrom - latTo);
  const double q3 = std::cos(latFrom + latTo);
  return std::trunc(6378.388 * std::acos(0.5 * ((1.0 + q1) * q2 - (1.0 - q1) * q3)) + 1.0);
}

DistanceFunction FindDistanceFunction(const std::string& edgeWeightType) {
  for (const NamedDistance& entry : kDistances) {
    if (edgeWeightType == entry.edgeWeightType) return entry.function;
  }
  return nullptr;
}

}  // namespace mirelock
