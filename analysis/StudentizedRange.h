#pragma once
#include <cstddef>

namespace mirelock::analysis {

// The distribution of the range of k independent standard normal values
// divided by an estimate of their deviation with infinitely many degrees of
// freedom (the deviation known): the studentized range for df = infinity,
// which the Nemenyi test uses. Boost.Math has no such distribution, so it is
// integrated here: P(range <= q) = k * integral of phi(z) (Phi(z + q) -
// Phi(z))^(k-1) dz over the real line (the smallest value at z, the other
// k - 1 within q above it).

// P(range <= q) for k >= 2 values; 0 for q <= 0.
double StudentizedRangeCdf(double q, std::size_t k);

// The q with P(range <= q) = p (0 < p < 1), found by bracketing and root
// finding on the CDF above, as R's qtukey(p, k, Inf) inverts ptukey.
double StudentizedRangeQuantile(double p, std::size_t k);

}  // namespace mirelock::analysis
