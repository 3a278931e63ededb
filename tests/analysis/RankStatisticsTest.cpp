// The rank statistics against hand computations, published tables (Demsar
// 2006 for the Friedman statistic and the Nemenyi critical difference, the
// chi-square and Wilcoxon critical-value tables) and figures computed once
// with R 4.2 (Debian's r-base-core): wilcox.test, p.adjust and qtukey, written
// here as literals.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/Ecdf.h"
#include "analysis/ExactMean.h"
#include "analysis/FriedmanTest.h"
#include "analysis/MultipleComparisons.h"
#include "analysis/Ranking.h"
#include "analysis/ReportNumbers.h"
#include "analysis/StudentizedRange.h"
#include "analysis/WilcoxonTest.h"

namespace mirelock::analysis {
namespace {

TEST(Ranking, TiedValuesShareTheMeanOfTheirRanks) {
  EXPECT_EQ(MidRanks(std::vector<double>{3, 1, 3, 2, 3}), (std::vector<double>{4, 1, 4, 2, 4}));
  EXPECT_EQ(MidRanks(std::vector<double>{0.5, 0.5, -1, 7}), (std::vector<double>{2.5, 2.5, 1, 4}));
  EXPECT_EQ(MidRanks(std::vector<double>{}), std::vector<double>{});
  // Groups of 3 and 2: (27 - 3) + (8 - 2).
  EXPECT_DOUBLE_EQ(TieCorrectionSum({3, 1, 3, 2, 3, 2}), 30);
  EXPECT_DOUBLE_EQ(TieCorrectionSum({1, 2, 3}), 0);
}

TEST(Friedman, SmallTableWithTiesByHand) {
  // Ranks per problem: (1,2,3), (2,1,3), (1.5,1.5,3); rank sums 4.5, 4.5, 9.
  // Untied statistic 12/(3*3*4) * (4.5^2 + 4.5^2 + 9^2) - 3*3*4 = 4.5; the tie
  // correction divides by 1 - 6/(3*3*8) = 11/12, giving 54/11. With 2 degrees
  // of freedom the chi-square upper tail is exp(-x/2).
  const auto result = Friedman({{10, 20, 30}, {5, 1, 9}, {2, 2, 8}});
  ASSERT_TRUE(result);
  EXPECT_EQ(result->meanRanks, (std::vector<double>{1.5, 1.5, 3}));
  EXPECT_NEAR(result->chiSquare, 54.0 / 11, 1e-12);
  EXPECT_NEAR(result->pValue, std::exp(-27.0 / 11), 1e-12);
  // Iman-Davenport: (N-1) chi / (N(k-1) - chi) = 2 * (54/11) / (6 - 54/11) = 9.
  ASSERT_TRUE(result->imanDavenportF);
  EXPECT_NEAR(*result->imanDavenportF, 9, 1e-12);

  // Perfect agreement: the F form is infinite, so there is none.
  const auto agreed = Friedman({{1, 2, 3}, {1, 2, 3}, {1, 2, 3}});
  ASSERT_TRUE(agreed);
  EXPECT_NEAR(agreed->chiSquare, 6, 1e-12);
  EXPECT_FALSE(agreed->imanDavenportF);
  // All tied everywhere: no evidence at all.
  EXPECT_EQ(Friedman({{1, 1}, {2, 2}})->pValue, 1);
  EXPECT_FALSE(Friedman({{1, 2}}));  // one problem
}

TEST(Friedman, DemsarsComparisonOfFourClassifiers) {
  // Demsar 2006, section 3.2.4: four algorithms over 14 data sets with mean
  // ranks 3.143, 2.000, 2.893 and 1.964 give chi-square 9.28 and F 3.69; the
  // critical value of F(3, 39) at 0.05 is 2.85.
  const FriedmanResult result = FriedmanFromMeanRanks({3.143, 2.000, 2.893, 1.964}, 14);
  EXPECT_NEAR(result.chiSquare, 9.28, 0.005);
  ASSERT_TRUE(result.imanDavenportF);
  EXPECT_NEAR(*result.imanDavenportF, 3.69, 0.005);
  EXPECT_LT(result.imanDavenportPValue, 0.05);
  EXPECT_LT(result.pValue, 0.05);
  // Its Nemenyi critical difference: 2.569 * sqrt(4*5 / (6*14)) = 1.25.
  EXPECT_NEAR(*NemenyiCriticalDifference(4, 14), 1.25, 0.005);
  EXPECT_NEAR(*NemenyiCriticalDifference(2, 10), 1.959964 * std::sqrt(6.0 / 60), 1e-6);
  EXPECT_FALSE(NemenyiCriticalDifference(1, 14));
  EXPECT_FALSE(NemenyiCriticalDifference(4, 0));
}

TEST(Friedman, NemenyiQuantileMatchesRsQtukeyForTwoToTwentyExperiments) {
  // R: qtukey(0.95, k, Inf) for k = 2..20.
  const double kQtukey[] = {2.77180764901919, 3.31449315755301, 3.63315958179585, 3.85765552685163,
                            4.0300920866427,  4.16955421608997, 4.28630951255947, 4.38650927983432,
                            4.47412447126307, 4.55186358390711, 4.62165547167251, 4.68491984708759,
                            4.74273170744286, 4.79592386019582, 4.84515418376117, 4.89095112546496,
                            4.93374535815908, 4.97389234900086, 5.01168879468676};
  for (std::size_t k = 2; k <= 20; ++k) {
    const double r = kQtukey[k - 2];
    EXPECT_NEAR(StudentizedRangeQuantile(0.95, k), r, 1e-7 * r) << k;
    EXPECT_NEAR(NemenyiQ(k, 0.05), r / std::sqrt(2.0), 1e-7 * r) << k;
    EXPECT_NEAR(StudentizedRangeCdf(r, k), 0.95, 1e-7) << k;  // R's own quantile is good to about 1e-8
  }
  // With k = 2 the range is |Z1 - Z2|, a normal of deviation sqrt(2): q / sqrt(2) is the normal's 0.975 quantile.
  EXPECT_NEAR(NemenyiQ(2, 0.05), 1.959963984540054, 1e-9);
  EXPECT_EQ(StudentizedRangeCdf(-1, 5), 0);
}

TEST(Friedman, ChiSquareTailsMatchThePublishedCriticalValues) {
  // Chi-square table, alpha 0.05: 5.991 for 2 degrees of freedom, 7.815 for 3, 16.919 for 9. Mean ranks
  // spread evenly by s around (k+1)/2 over N problems give the statistic N s^2 (k-1).
  for (const auto& [k, critical] : {std::pair{3, 5.991}, std::pair{4, 7.815}, std::pair{10, 16.919}}) {
    const double spread = std::sqrt(critical / (1000.0 * (k - 1)));
    std::vector<double> ranks;
    for (int t = 0; t < k; ++t) ranks.push_back((k + 1) / 2.0 + spread * (t - (k - 1) / 2.0));
    const FriedmanResult result = FriedmanFromMeanRanks(ranks, 1000);
    EXPECT_NEAR(result.chiSquare, critical, 1e-9) << k;
    EXPECT_NEAR(result.pValue, 0.05, 5e-5) << k;
  }
}

TEST(Wilcoxon, TiesAndZerosUseTheCorrectedNormalApproximation) {
  // Differences 1, -2, 2, 0, 3, 4: the zero is dropped; |d| ranks 1, 2.5, 2.5, 4, 5;
  // V = 1 + 2.5 + 4 + 5 = 12.5. n = 5: mean 7.5, variance 5*6*11/24 - (2^3-2)/48 = 13.625;
  // z = (12.5 - 7.5 - 0.5) / sqrt(13.625) = 1.21911, two-sided p = 0.222801 (as R gives).
  const WilcoxonResult result = WilcoxonSignedRank({11, 8, 12, 5, 13, 14}, {10, 10, 10, 5, 10, 10});
  EXPECT_EQ(result.pairs, 5u);
  EXPECT_EQ(result.zeros, 1u);
  EXPECT_DOUBLE_EQ(result.positiveRankSum, 12.5);
  EXPECT_DOUBLE_EQ(result.negativeRankSum, 2.5);
  EXPECT_EQ(result.method, WilcoxonResult::Method::kNormalApproximation);
  EXPECT_NEAR(result.z, 1.2191138, 1e-6);
  EXPECT_NEAR(*result.pValue, 0.2228010, 1e-6);

  // Swapping the samples mirrors V and keeps p.
  const WilcoxonResult swapped = WilcoxonSignedRank({10, 10, 10, 5, 10, 10}, {11, 8, 12, 5, 13, 14});
  EXPECT_DOUBLE_EQ(swapped.positiveRankSum, 2.5);
  EXPECT_NEAR(*swapped.pValue, *result.pValue, 1e-12);

  // Nothing differs: no p-value at all (R gives NaN), not p = 1.
  const WilcoxonResult none = WilcoxonSignedRank({1, 2, 3}, {1, 2, 3});
  EXPECT_FALSE(none.pValue);
  EXPECT_EQ(none.method, WilcoxonResult::Method::kNone);
  EXPECT_EQ(none.zeros, 3u);
}

TEST(Wilcoxon, AgreesWithRsWilcoxTestOnZerosTiesAndLargeSamples) {
  // R: wilcox.test(d, rep(0, length(d)), paired = TRUE, exact = NULL, correct = TRUE).
  struct Case {
    std::vector<double> d;
    double v, p;
    bool exact;
  };
  std::vector<double> large;  // 60 untied differences: beyond the exact limit
  for (int i = 1; i <= 60; ++i) large.push_back((i % 3 == 0 ? -i : i) + 0.5);
  const Case cases[] = {
      // Two zeros, no ties: R switches to the normal approximation although n = 8 < 50.
      {{0, 1.5, -0.3, 2.2, 4.1, -0.7, 3.3, 0, 5.9, 2.8}, 33, 0.042315274905714, false},
      // Tied absolute differences, no zeros.
      {{1, -2, 2, 3, 4, -1, 5, 6, 2, 7}, 49.5, 0.0279040307951703, false},
      // Neither: exact.
      {{1.1, -2.3, 3.2, 4.5, 5.4, -0.6, 7.7, 8.1}, 32, 0.0546875, true},
      {large, 1210, 0.0301481152033012, false},
      // One zero: the exact p of the seven others would be 0.046875, "significant"; R's is not.
      {{0, 1, -2, 3, 4, 5, 6, 7}, 26, 0.0519129649350183, false},
      {{3, 1, 4, 2, 6, 5}, 21, 0.03125, true},
  };
  for (const Case& c : cases) {
    const WilcoxonResult result = WilcoxonSignedRankOfDifferences(c.d);
    EXPECT_DOUBLE_EQ(result.positiveRankSum, c.v) << c.p;
    ASSERT_TRUE(result.pValue) << c.p;
    EXPECT_NEAR(*result.pValue, c.p, 1e-12) << c.p;
    EXPECT_EQ(result.method == WilcoxonResult::Method::kExact, c.exact) << c.p;
  }
}

TEST(ReportNumbers, OneRoundingRuleAndSmallPValues) {
  EXPECT_EQ(FixedDecimals(2.125, 2), "2.13");  // exactly half: away from zero (printf would give 2.12)
  EXPECT_EQ(FixedDecimals(1.005, 2), "1.01");  // the decimal the user sees, not its binary neighbour
  EXPECT_EQ(FixedDecimals(2.1249999, 2), "2.12");
  EXPECT_EQ(FixedDecimals(9.995, 2), "10.00");
  EXPECT_EQ(FixedDecimals(-2.125, 2), "-2.13");
  EXPECT_EQ(FixedDecimals(-0.0004, 2), "0.00");
  EXPECT_EQ(FixedDecimals(3, 0), "3");
  EXPECT_EQ(FixedDecimals(0.5, 0), "1");
  EXPECT_EQ(FixedDecimals(1234.5678, 3), "1234.568");
  EXPECT_EQ(PValueStatement(0.00009), "p < 0.0001");
  EXPECT_EQ(PValueStatement(0.0001), "p = 0.0001");
  EXPECT_EQ(PValueStatement(0.04685), "p = 0.0469");
  EXPECT_EQ(PValueCell(1e-12), "< 0.0001");
}

TEST(ExactMean, EqualMeansTieWhateverTheRunOrder) {
  // 0.1 + 0.2 + 0.3 and 0.3 + 0.2 + 0.1 differ in the last bit; as integer costs they cannot.
  const ExactMean forward({15842, 15860, 15812, 15870, 15831});
  const ExactMean backward({15831, 15870, 15812, 15860, 15842});
  EXPECT_TRUE(forward == backward);
  EXPECT_EQ(Difference(forward, backward), 0);
  EXPECT_EQ(forward.Value(), 15843);
  // 2/1 and 4/2: equal fractions, equal doubles, a difference of exactly 0.
  EXPECT_TRUE(ExactMean({2}) == ExactMean({1, 3}));
  // 1/3 apart in two ways: the same double.
  EXPECT_EQ(Difference(ExactMean({1, 1, 2}), ExactMean({1})), Difference(ExactMean({2, 2, 3}), ExactMean({2})));
  EXPECT_TRUE(Compare(ExactMean({1, 2}), ExactMean({2, 2})) < 0);
  EXPECT_EQ(MidRanks(std::vector<ExactMean>{ExactMean({3, 1}), ExactMean({2}), ExactMean({1, 3}), ExactMean({1})}),
            (std::vector<double>{3, 3, 3, 1}));
  // Non-integer values fall back to a sum in sorted order: still independent of the run order.
  EXPECT_TRUE(ExactMean({0.1, 0.2, 0.3}) == ExactMean({0.3, 0.2, 0.1}));
}

TEST(Wilcoxon, UntiedSmallSamplesAreExact) {
  // Five positive differences: V = 15 is the most extreme of 2^5 sign patterns, p = 2/32.
  const WilcoxonResult result = WilcoxonSignedRank({2, 4, 6, 8, 10}, {1, 2, 3, 4, 5});
  EXPECT_EQ(result.method, WilcoxonResult::Method::kExact);
  EXPECT_DOUBLE_EQ(*result.pValue, 0.0625);
  // Wilcoxon table, n = 10, two-sided alpha 0.05: critical T = 8, so
  // P(T <= 8) = 25/1024 is below 0.025 and P(T <= 9) = 33/1024 above it.
  EXPECT_DOUBLE_EQ(WilcoxonExactLowerTail(10, 8), 25.0 / 1024);
  EXPECT_DOUBLE_EQ(WilcoxonExactLowerTail(10, 9), 33.0 / 1024);
  EXPECT_DOUBLE_EQ(WilcoxonExactLowerTail(10, 55), 1);
}

TEST(Holm, StepDownAdjustmentStaysMonotone) {
  // Sorted 0.005, 0.01, 0.03, 0.04 times 4, 3, 2, 1: 0.02, 0.03, 0.06, 0.04 -> 0.06 (monotone).
  const auto adjusted = HolmAdjusted({0.01, 0.04, 0.03, 0.005});
  ASSERT_EQ(adjusted.size(), 4u);
  EXPECT_NEAR(*adjusted[0], 0.03, 1e-12);
  EXPECT_NEAR(*adjusted[1], 0.06, 1e-12);
  EXPECT_NEAR(*adjusted[2], 0.06, 1e-12);
  EXPECT_NEAR(*adjusted[3], 0.02, 1e-12);
  EXPECT_EQ(HolmAdjusted({0.5, 0.6}), (std::vector<std::optional<double>>{1.0, 1.0}));  // capped
  // A pair without a p-value stays without and does not count: R's
  // p.adjust(c(0.01, NA, 0.04, 0.03, 0.005), "holm") gives 0.03 NA 0.06 0.06 0.02.
  const auto withMissing = HolmAdjusted({0.01, std::nullopt, 0.04, 0.03, 0.005});
  EXPECT_FALSE(withMissing[1]);
  EXPECT_NEAR(*withMissing[0], 0.03, 1e-12);
  EXPECT_NEAR(*withMissing[2], 0.06, 1e-12);
  EXPECT_NEAR(*withMissing[3], 0.06, 1e-12);
  EXPECT_NEAR(*withMissing[4], 0.02, 1e-12);
}

TEST(EffortDistribution, CountsFailedRunsInTheDenominator) {
  // Four successes out of five runs, two of them at effort 2.
  const EffortDistribution d = MakeEffortDistribution({3, 1, 2, 2}, 5);
  ASSERT_EQ(d.steps.size(), 3u);
  EXPECT_DOUBLE_EQ(d.At(0.5), 0);
  EXPECT_DOUBLE_EQ(d.At(1), 0.2);
  EXPECT_DOUBLE_EQ(d.At(2), 0.6);
  EXPECT_DOUBLE_EQ(d.At(2.9), 0.6);
  EXPECT_DOUBLE_EQ(d.At(1e9), 0.8);
  EXPECT_EQ(d.successes, 4u);
  EXPECT_TRUE(MakeEffortDistribution({}, 3).steps.empty());
  // Type 7 quantiles (R's default): of 1, 2, 3, 4 the quartiles are 1.75 and 3.25.
  EXPECT_DOUBLE_EQ(Quantile({4, 1, 3, 2}, 0.25), 1.75);
  EXPECT_DOUBLE_EQ(Quantile({4, 1, 3, 2}, 0.75), 3.25);
  EXPECT_DOUBLE_EQ(Median({5, 1, 3}), 3);
}

}  // namespace
}  // namespace mirelock::analysis
