#include "analysis/FriedmanTest.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>

#include "analysis/Ranking.h"

namespace mirelock::analysis {

namespace {

// Fills the p-value and the Iman-Davenport form once chiSquare is known.
void AddPValues(FriedmanResult& result) {
  const double n = static_cast<double>(result.blocks);
  const double k = static_cast<double>(result.treatments);
  result.pValue = boost::math::cdf(boost::math::complement(boost::math::chi_squared(k - 1), result.chiSquare));
  const double denominator = n * (k - 1) - result.chiSquare;
  if (denominator <= 1e-12 * n * k) {
    result.imanDavenportF.reset();
    result.imanDavenportPValue = 0;
    return;
  }
  const double f = (n - 1) * result.chiSquare / denominator;
  result.imanDavenportF = f;
  result.imanDavenportPValue =
      boost::math::cdf(boost::math::complement(boost::math::fisher_f(k - 1, (k - 1) * (n - 1)), f));
}

}  // namespace

std::optional<FriedmanResult> Friedman(const std::vector<std::vector<double>>& scores) {
  if (scores.size() < 2 || scores.front().size() < 2) return std::nullopt;
  FriedmanResult result;
  result.blocks = scores.size();
  result.treatments = scores.front().size();
  const double n = static_cast<double>(result.blocks);
  const double k = static_cast<double>(result.treatments);
  std::vector<double> rankSums(result.treatments, 0.0);
  double ties = 0;
  for (const auto& block : scores) {
    const auto ranks = MidRanks(block);
    for (std::size_t t = 0; t < ranks.size(); ++t) rankSums[t] += ranks[t];
    ties += TieCorrectionSum(block);
  }
  double sumOfSquares = 0;
  for (double r : rankSums) {
    result.meanRanks.push_back(r / n);
    sumOfSquares += r * r;
  }
  const double untied = 12 / (n * k * (k + 1)) * sumOfSquares - 3 * n * (k + 1);
  // Every block all tied: no information, and the correction would divide by 0.
  const double correction = 1 - ties / (n * k * (k * k - 1));
  result.chiSquare = correction <= 1e-12 ? 0 : untied / correction;
  AddPValues(result);
  return result;
}

FriedmanResult FriedmanFromMeanRanks(const std::vector<double>& meanRanks, std::size_t blocks) {
  FriedmanResult result;
  result.blocks = blocks;
  result.treatments = meanRanks.size();
  result.meanRanks = meanRanks;
  const double n = static_cast<double>(blocks);
  const double k = static_cast<double>(meanRanks.size());
  double sum = 0;
  for (double r : meanRanks) sum += r * r;
  result.chiSquare = 12 * n / (k * (k + 1)) * (sum - k * (k + 1) * (k + 1) / 4);
  AddPValues(result);
  return result;
}

}  // namespace mirelock::analysis
