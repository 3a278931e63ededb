#pragma once
#include <string>

#include "tsp/TSPHeader.h"

namespace mirelock {

// A TSPLIB distance of two coordinate records, before conversion to a 32-bit
// integer. The value is an integer held in a double so that the reader can
// reject a distance that does not fit in 32 bits instead of converting it.
using DistanceFunction = double (*)(const CityCoord& from, const CityCoord& to);

double EuclideanDistance(const CityCoord& from, const CityCoord& to);         // EUC_2D
double CeilingEuclideanDistance(const CityCoord& from, const CityCoord& to);  // CEIL_2D
double PseudoEuclideanDistance(const CityCoord& from, const CityCoord& to);   // ATT
double GeographicalDistance(const CityCoord& from, const CityCoord& to);      // GEO

// The function of an EDGE_WEIGHT_TYPE keyword, or nullptr when the type has none.
DistanceFunction FindDistanceFunction(const std::string& edgeWeightType);

}  // namespace mirelock
