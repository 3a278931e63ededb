#include "analysis/ExactMean.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "analysis/Ranking.h"

namespace mirelock::analysis {

namespace {

// Integers up to 2^53 are exact in a double; sums of up to 2^32 of them fit an __int128 with room for a
// cross multiplication by a count.
constexpr double kExactLimit = 9007199254740992.0;

bool IsExactInteger(double value) { return std::fabs(value) <= kExactLimit && std::trunc(value) == value; }

unsigned __int128 Magnitude(__int128 value) {
  return value < 0 ? static_cast<unsigned __int128>(-(value + 1)) + 1 : static_cast<unsigned __int128>(value);
}

unsigned __int128 Gcd(unsigned __int128 a, unsigned __int128 b) {
  while (b != 0) {
    const unsigned __int128 r = a % b;
    a = b;
    b = r;
  }
  return a;
}

// numerator / denominator (denominator > 0), reduced first so that equal fractions divide alike.
double Divide(__int128 numerator, unsigned __int128 denominator) {
  if (numerator == 0) return 0;
  const unsigned __int128 common = Gcd(Magnitude(numerator), denominator);
  const double top = static_cast<double>(Magnitude(numerator) / common);
  const double bottom = static_cast<double>(denominator / common);
  return numerator < 0 ? -(top / bottom) : top / bottom;
}

}  // namespace

ExactMean::ExactMean(std::vector<double> values) : count_(values.size()) {
  exact_ = std::all_of(values.begin(), values.end(), IsExactInteger);
  if (exact_) {
    for (double value : values) sum_ += static_cast<__int128>(static_cast<std::int64_t>(value));
    return;
  }
  std::sort(values.begin(), values.end());
  floatSum_ = std::accumulate(values.begin(), values.end(), 0.0);
}

double ExactMean::Value() const {
  if (count_ == 0) return 0;
  if (!exact_) return floatSum_ / static_cast<double>(count_);
  return Divide(sum_, count_);
}

double Difference(const ExactMean& a, const ExactMean& b) {
  if (!a.exact_ || !b.exact_ || a.count_ == 0 || b.count_ == 0) {
    if (Compare(a, b) == 0) return 0;
    return a.Value() - b.Value();
  }
  // a.sum/a.count - b.sum/b.count over the common denominator.
  const __int128 numerator = a.sum_ * static_cast<__int128>(b.count_) - b.sum_ * static_cast<__int128>(a.count_);
  return Divide(numerator, static_cast<unsigned __int128>(a.count_) * b.count_);
}

std::strong_ordering Compare(const ExactMean& a, const ExactMean& b) {
  if (a.exact_ && b.exact_) {
    const __int128 left = a.sum_ * static_cast<__int128>(b.count_);
    const __int128 right = b.sum_ * static_cast<__int128>(a.count_);
    return left <=> right;
  }
  const double x = a.Value(), y = b.Value();
  return x < y ? std::strong_ordering::less : (y < x ? std::strong_ordering::greater : std::strong_ordering::equal);
}

std::vector<double> MidRanks(const std::vector<ExactMean>& means) {
  // Dense positions of the distinct means in exact order, then the usual mid-ranks over them.
  std::vector<std::size_t> order(means.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return Compare(means[a], means[b]) < 0; });
  std::vector<double> positions(means.size());
  double position = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (i > 0 && Compare(means[order[i - 1]], means[order[i]]) != 0) ++position;
    positions[order[i]] = position;
  }
  return MidRanks(positions);
}

}  // namespace mirelock::analysis
