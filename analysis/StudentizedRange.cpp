#include "analysis/StudentizedRange.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include <boost/math/distributions/normal.hpp>
#include <boost/math/quadrature/gauss_kronrod.hpp>
#include <boost/math/tools/roots.hpp>

namespace mirelock::analysis {

double StudentizedRangeCdf(double q, std::size_t k) {
  if (!(q > 0) || k < 2) return 0;
  const boost::math::normal standard;
  const double power = static_cast<double>(k - 1);
  auto integrand = [&](double z) {
    const double inside = boost::math::cdf(standard, z + q) - boost::math::cdf(standard, z);
    return inside <= 0 ? 0.0 : boost::math::pdf(standard, z) * std::pow(inside, power);
  };
  // phi(z) is below 1e-300 beyond |z| = 37; the integrand's mass lies around -q/2.
  const double centre = -q / 2;
  const double reach = 40;
  double error = 0;
  const double integral = boost::math::quadrature::gauss_kronrod<double, 61>::integrate(
      integrand, centre - reach, centre + reach, 15, 1e-13, &error);
  return std::min(1.0, static_cast<double>(k) * integral);
}

double StudentizedRangeQuantile(double p, std::size_t k) {
  if (k < 2 || !(p > 0) || !(p < 1)) return std::numeric_limits<double>::quiet_NaN();
  auto excess = [&](double q) { return StudentizedRangeCdf(q, k) - p; };
  // The CDF rises from 0 at q = 0; double the upper end until it passes p.
  double low = 0, high = 1;
  while (excess(high) < 0 && high < 1e3) {
    low = high;
    high *= 2;
  }
  std::uintmax_t iterations = 200;
  const auto [a, b] = boost::math::tools::toms748_solve(excess, low, high, excess(low), excess(high),
                                                        boost::math::tools::eps_tolerance<double>(50), iterations);
  return (a + b) / 2;
}

}  // namespace mirelock::analysis
