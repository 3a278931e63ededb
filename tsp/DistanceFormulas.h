#pragma once
#include <cmath>

namespace mirelock::distance_formulas {

// The TSPLIB distance formulas on plain numbers, inline so that the fast
// search can compute distances on the fly in its inner loop. The results are
// integers held in doubles; the callers decide how to convert them.

inline double Euclidean(double dx, double dy) { return std::trunc(std::floor(std::sqrt(dx * dx + dy * dy) + 0.5)); }

inline double CeilingEuclidean(double dx, double dy) { return std::trunc(std::ceil(std::sqrt(dx * dx + dy * dy))); }

inline double PseudoEuclidean(double dx, double dy) {
  const double r = std::sqrt((dx * dx + dy * dy) * 0.1);
  const double t = std::trunc(std::floor(r + 0.5));
  return t < r ? t + 1 : t;
}

// Degrees.minutes to radians, with TSPLIB's value of pi (3.141592 / 180).
inline double GeoRadians(double coordinate) {
  const double degrees = std::trunc(coordinate);
  return 0.0174532888888889 * (degrees + (coordinate - degrees) * 1.6666666666666665);
}

// From latitudes and longitudes already in radians.
inline double Geographical(double latFrom, double lonFrom, double latTo, double lonTo) {
  const double q1 = std::cos(lonFrom - lonTo);
  const double q2 = std::cos(latFrom - latTo);
  const double q3 = std::cos(latFrom + latTo);
  return std::trunc(6378.388 * std::acos(0.5 * ((1.0 + q1) * q2 - (1.0 - q1) * q3)) + 1.0);
}

}  // namespace mirelock::distance_formulas
