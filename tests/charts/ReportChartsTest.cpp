// The report's charts draw offscreen into PNG and SVG files that hold what
// the report says: one box per experiment, every experiment on the
// critical-difference chart, a run-length curve per experiment.
#include <gtest/gtest.h>

#include <QApplication>
#include <QAreaSeries>
#include <QBoxPlotSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QImage>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <cmath>
#include <memory>

#include <QValueAxis>
#include <map>
#include <set>
#include <tuple>

#include "analysis/Analysis.h"
#include "analysis/AnytimeAnalysis.h"
#include "charts/ChartKey.h"
#include "charts/ChartStyle.h"
#include "charts/ReportCharts.h"

namespace mirelock {
namespace {

// One QApplication for the program, on the offscreen platform.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_charts";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};
const auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Three QAP experiments over four problems, two runs each; Exp 2 is always best.
analysis::Report ThreeExperiments() {
  analysis::Report report;
  report.problemType = kProblemQAP;
  report.problems = {"a.dat", "b.dat", "c.dat", "d.dat"};
  report.bestKnown.assign(4, 100.0);  // gap = cost - 100
  for (int e = 0; e < 3; ++e) {
    report.experiments.emplace_back().name = "Exp " + std::to_string(e);
    report.experiments.back().label = "Lambda=" + std::to_string(e + 1);
  }
  for (std::size_t p = 0; p < 4; ++p)
    for (std::size_t e = 0; e < 3; ++e)
      for (std::uint32_t r = 0; r < 2; ++r) {
        const double gap = (2.0 - static_cast<double>(e)) * (1 + static_cast<double>(p)) + r;
        report.runs.push_back({p, e, r, 100 + gap, gap, gap <= 0, 10.0 * static_cast<double>((p + 1) * (r + 1)),
                               0.01 * static_cast<double>(p + 1), {}});
      }
  analysis::Analyse(report);
  return report;
}

TEST(ReportCharts, EveryChartDrawsToPngAndSvgWithItsExperiments) {
  const analysis::Report report = ThreeExperiments();
  std::unique_ptr<QChart> box(charts::MakeGapBoxPlot(report));
  std::unique_ptr<QChart> cd(charts::MakeCriticalDifferenceChart(report));
  std::unique_ptr<QChart> lengths(charts::MakeRunLengthChart(report));
  std::unique_ptr<QChart> times(charts::MakeRunTimeChart(report));
  ASSERT_TRUE(box && cd && lengths && times);

  auto* boxes = qobject_cast<QBoxPlotSeries*>(box->series().front());
  ASSERT_NE(boxes, nullptr);
  ASSERT_EQ(boxes->count(), 3);
  // Exp 2's gaps are 0 and 1 on every problem: median 0.5, whiskers 0 and 1.
  const QBoxSet* best = boxes->boxSets()[2];
  EXPECT_DOUBLE_EQ(best->at(QBoxSet::LowerExtreme), 0);
  EXPECT_DOUBLE_EQ(best->at(QBoxSet::Median), 0.5);
  EXPECT_DOUBLE_EQ(best->at(QBoxSet::UpperExtreme), 1);
  auto* means = qobject_cast<QScatterSeries*>(box->series().back());
  ASSERT_NE(means, nullptr);
  EXPECT_EQ(means->points()[2], QPointF(2, 0.5));

  // The best experiment is on the top row of the critical-difference chart.
  auto* rows = qobject_cast<QCategoryAxis*>(cd->axes(Qt::Vertical).front());
  ASSERT_NE(rows, nullptr);
  ASSERT_EQ(rows->count(), 3);
  EXPECT_EQ(rows->categoriesLabels().back(), "Exp 2  (1.00)");

  // Only Exp 2 reached the best known cost (gap 0 in run 0 of each problem): half its runs.
  EXPECT_EQ(lengths->series().size(), 3);
  auto* curve = qobject_cast<QLineSeries*>(lengths->series()[2]);
  ASSERT_NE(curve, nullptr);
  EXPECT_DOUBLE_EQ(curve->points().back().y(), 0.5);
  EXPECT_DOUBLE_EQ(qobject_cast<QLineSeries*>(lengths->series()[0])->points().back().y(), 0);

  for (QChart* chart : {box.get(), cd.get(), lengths.get(), times.get()}) {
    const QByteArray png = charts::RenderChart(*chart, charts::kReportChartSize, charts::ImageFormat::kPng);
    const QImage image = QImage::fromData(png, "PNG");
    ASSERT_FALSE(image.isNull()) << chart->title().toStdString();
    EXPECT_EQ(image.width(), charts::kReportChartSize.width());
    EXPECT_GT(image.height(), charts::kReportChartSize.height());  // the key below the chart
    const QByteArray svg = charts::RenderChart(*chart, charts::kReportChartSize, charts::ImageFormat::kSvg);
    EXPECT_TRUE(svg.contains("<svg")) << chart->title().toStdString();
    EXPECT_TRUE(svg.contains("Exp 2  Lambda=3")) << chart->title().toStdString();  // the key, drawn as text
  }
}

// Twenty experiments with long labels that differ only at their end, over five problems.
analysis::Report TwentyExperiments() {
  analysis::Report report;
  report.problemType = kProblemQAP;
  report.fixedText = " Aspiration=On History=Off";
  for (int p = 0; p < 5; ++p) report.problems.push_back("p" + std::to_string(p) + ".dat");
  report.bestKnown.assign(5, 1000.0);
  for (int e = 0; e < 20; ++e) {
    report.experiments.emplace_back().name = "Exp " + std::to_string(e);
    report.experiments.back().label = "Lambda=0.5 Sideways=2 Pr(random move)=0.05 Penalty decay=" + std::to_string(e);
  }
  for (std::size_t p = 0; p < 5; ++p)
    for (std::size_t e = 0; e < 20; ++e)
      for (std::uint32_t r = 0; r < 3; ++r) {
        const double cost = 1000 + static_cast<double>((e * 7 + p * 3 + r * 5) % 23);
        report.runs.push_back({p, e, r, cost, (cost - 1000) / 10, cost <= 1000, 5.0 + static_cast<double>(e + r),
                               0.5, {}});
      }
  analysis::Analyse(report);
  return report;
}

TEST(ReportCharts, TwentyExperimentsStayIdentifiable) {
  const analysis::Report report = TwentyExperiments();
  ASSERT_TRUE(report.criticalDifference);  // any number of experiments has one
  std::unique_ptr<QChart> box(charts::MakeGapBoxPlot(report));
  std::unique_ptr<QChart> cd(charts::MakeCriticalDifferenceChart(report));
  std::unique_ptr<QChart> lengths(charts::MakeRunLengthChart(report));
  ASSERT_TRUE(box && cd && lengths);

  for (QChart* chart : {box.get(), cd.get(), lengths.get()}) {
    // The key names every experiment with its full label, and the files draw it as text.
    const charts::ChartKey key = charts::KeyOf(*chart);
    ASSERT_GE(key.entries.size(), 20) << chart->title().toStdString();
    const QByteArray svg = charts::RenderChart(*chart, charts::kReportChartSize, charts::ImageFormat::kSvg);
    for (int e = 0; e < 20; ++e) {
      const std::string full = report.experiments[e].name + "  " + report.experiments[e].label;
      EXPECT_TRUE(key.entries[e].text.startsWith(QString::fromStdString(full))) << key.entries[e].text.toStdString();
      EXPECT_TRUE(svg.contains(QByteArray::fromStdString(full)))
          << full << " in " << chart->title().toStdString();
    }
    EXPECT_TRUE(key.footnote.contains("Aspiration=On History=Off"));
  }

  // Each curve has a look of its own: twenty different colour and line-style pairs.
  std::set<std::pair<QRgb, int>> looks;
  for (QAbstractSeries* series : lengths->series()) {
    const QPen pen = qobject_cast<QLineSeries*>(series)->pen();
    looks.insert({pen.color().rgb(), static_cast<int>(pen.style())});
  }
  EXPECT_EQ(looks.size(), 20u);
  // Boxes likewise, by colour and fill.
  std::set<std::pair<QRgb, int>> fills;
  for (const QBoxSet* set : qobject_cast<QBoxPlotSeries*>(box->series().front())->boxSets())
    fills.insert({set->brush().color().rgb(), static_cast<int>(set->brush().style())});
  EXPECT_EQ(fills.size(), 20u);

  // The critical-difference chart draws every bar: twenty intervals and the points.
  EXPECT_EQ(cd->series().size(), 21);

  // The gap axis ticks fall on round numbers: a step of 1, 2, 2.5 or 5 times a power of ten.
  auto* gapAxis = qobject_cast<QValueAxis*>(box->axes(Qt::Vertical).front());
  ASSERT_NE(gapAxis, nullptr);
  const double step = gapAxis->tickInterval();
  const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
  EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 || std::fabs(mantissa - 2.5) < 1e-9 ||
              std::fabs(mantissa - 5) < 1e-9)
      << step;
  EXPECT_NEAR(std::fmod(gapAxis->min(), step), 0, 1e-9);
}

TEST(ReportCharts, NothingToDrawGivesNoChart) {
  analysis::Report sat;
  sat.problemType = kProblemSAT;
  sat.problems = {"a.cnf"};
  sat.experiments.emplace_back().name = "Exp 0";
  analysis::RunRecord failed;
  failed.success = false;
  failed.repairsToBest = 5;
  sat.runs.push_back(failed);
  analysis::Analyse(sat);
  EXPECT_EQ(charts::MakeGapBoxPlot(sat), nullptr);               // SAT has no gaps
  EXPECT_EQ(charts::MakeCriticalDifferenceChart(sat), nullptr);  // one experiment, no tests
  EXPECT_EQ(charts::MakeRunLengthChart(sat), nullptr);           // no run succeeded
}

// Two QAP problems (best known 100), two experiments, two runs each, with hand-made traces; targets: the best
// known cost and 1 % above it. Exp 0's four runs reach 100 at 100 and 20 repairs (two never do), and 101
// at 10, 50 and 20 (one never does); Exp 1's runs all reach 100 at 1000 repairs, 1 s.
analysis::Report TracedBatch() {
  analysis::Report report;
  report.problemType = kProblemQAP;
  report.problems = {"a.dat", "b.dat"};
  report.bestKnown.assign(2, 100.0);
  for (int e = 0; e < 2; ++e) report.experiments.emplace_back().name = "Exp " + std::to_string(e);
  const std::vector<TracedRun> exp0 = {{{1, 10, 100}, {0.001, 0.01, 0.1}, {110, 101, 100}, 2000, 2},
                                       {{5, 50}, {0.005, 0.05}, {105, 101}, 2000, 2},
                                       {{20}, {0.02}, {100}, 2000, 2},
                                       {{1}, {0.001}, {120}, 2000, 2}};
  for (std::size_t p = 0; p < 2; ++p)
    for (std::size_t e = 0; e < 2; ++e)
      for (std::uint32_t r = 0; r < 2; ++r) {
        const TracedRun trace = e == 0 ? exp0[2 * p + r] : TracedRun{{1000}, {1.0}, {100}, 2000, 2};
        const double cost = static_cast<double>(trace.cost.back());
        report.runs.push_back({p, e, r, cost, cost - 100, cost == 100, static_cast<double>(trace.repairs.back()),
                               2.0, {}});
        report.traces.push_back(trace);
      }
  analysis::Analyse(report);
  analysis::AnalyseAnytime(report, {0, 1});
  return report;
}

// The steps of a distribution line: (x, height after x) at each x where the line rises.
std::vector<std::pair<double, double>> Steps(const QLineSeries& series) {
  std::vector<std::pair<double, double>> steps;
  const auto points = series.points();
  for (qsizetype i = 1; i < points.size(); ++i)
    if (points[i].x() == points[i - 1].x() && points[i].y() > points[i - 1].y())
      steps.emplace_back(points[i].x(), points[i].y());
  return steps;
}

TEST(ReportCharts, FixedTargetStepsAreTheFractionsOfRunsThatReachedEachTarget) {
  const analysis::Report report = TracedBatch();
  ASSERT_TRUE(report.anytime.available);
  std::unique_ptr<QChart> repairs(charts::MakeTargetRepairsChart(report));
  std::unique_ptr<QChart> seconds(charts::MakeTargetSecondsChart(report));
  ASSERT_NE(repairs, nullptr);
  ASSERT_NE(seconds, nullptr);
  using Steps_t = std::vector<std::pair<double, double>>;
  std::map<QString, Steps_t> byName, bySeconds;
  for (QAbstractSeries* series : repairs->series()) byName[series->name()] = Steps(*static_cast<QLineSeries*>(series));
  for (QAbstractSeries* series : seconds->series()) bySeconds[series->name()] = Steps(*static_cast<QLineSeries*>(series));
  ASSERT_EQ(byName.size(), 4u);  // 2 experiments x 2 targets
  EXPECT_EQ(byName["Exp 0 best known"], (Steps_t{{20, 0.25}, {100, 0.5}}));
  EXPECT_EQ(byName["Exp 0 +1 %"], (Steps_t{{10, 0.25}, {20, 0.5}, {50, 0.75}}));
  EXPECT_EQ(byName["Exp 1 best known"], (Steps_t{{1000, 1.0}}));
  EXPECT_EQ(byName["Exp 1 +1 %"], (Steps_t{{1000, 1.0}}));
  EXPECT_EQ(bySeconds["Exp 0 +1 %"], (Steps_t{{0.01, 0.25}, {0.02, 0.5}, {0.05, 0.75}}));
  EXPECT_EQ(bySeconds["Exp 1 best known"], (Steps_t{{1.0, 1.0}}));
  // The repairs axis reaches past the longest run, so the plateaus show; the run-time chart of whole runs
  // gives way to the traced one; the key names both experiments and both targets.
  auto* x = static_cast<QLogValueAxis*>(repairs->axes(Qt::Horizontal).front());
  EXPECT_GE(x->max(), 2000);
  EXPECT_LE(x->min(), 10);
  EXPECT_EQ(charts::MakeRunTimeChart(report), nullptr);
  const charts::ChartKey key = charts::KeyOf(*repairs);
  ASSERT_EQ(key.entries.size(), 4);
  EXPECT_TRUE(key.entries[3].text.startsWith("target: +1 %"));
  EXPECT_FALSE(charts::RenderChart(*repairs, charts::kReportChartSize, charts::ImageFormat::kPng).isEmpty());

  // Fixed budget: at 100 repairs Exp 0's runs stand at gaps 0, 1, 0 and 20 % (median 0.5, quartiles 0 and
  // 5.75 as R's quantile() gives them); no figure before every run has a solution (from 20 repairs on).
  std::unique_ptr<QChart> budget(charts::MakeFixedBudgetChart(report));
  ASSERT_NE(budget, nullptr);
  std::map<QString, QList<QPointF>> medians;
  QAreaSeries* band0 = nullptr;
  for (QAbstractSeries* series : budget->series()) {
    if (auto* line = qobject_cast<QLineSeries*>(series)) medians[line->name()] = line->points();
    else if (!band0) band0 = qobject_cast<QAreaSeries*>(series);
  }
  ASSERT_EQ(medians.size(), 2u);
  ASSERT_NE(band0, nullptr);
  const auto at = [](const QList<QPointF>& points, double x) {
    for (const QPointF& point : points)
      if (std::fabs(point.x() - x) < 1e-9) return point.y();
    return -1.0;
  };
  EXPECT_DOUBLE_EQ(at(medians["Exp 0"], 100), 0.5);
  EXPECT_DOUBLE_EQ(at(band0->lowerSeries()->points(), 100), 0);
  EXPECT_DOUBLE_EQ(at(band0->upperSeries()->points(), 100), 5.75);
  EXPECT_GT(medians["Exp 0"].front().x(), 20);
  EXPECT_LT(medians["Exp 0"].front().x(), 30);
  EXPECT_DOUBLE_EQ(at(medians["Exp 1"], 1000), 0);
  EXPECT_DOUBLE_EQ(medians["Exp 1"].back().x(), 2000);

  // One problem: b.dat is the default, its traced runs ending furthest from the best (mean gap 5 % against
  // 0.25 %). Exp 0's two runs there stand at 0 and 20 % after 100 repairs (median 10, quartiles 5 and 15 as
  // R's quantile() gives them); a.dat's at 0 and 1 %.
  ASSERT_EQ(report.anytime.budgetProblem, std::optional<std::size_t>(1));
  EXPECT_EQ(analysis::FindBudgetProblem(report, "a.dat"), std::optional<std::size_t>(0));
  EXPECT_EQ(analysis::FindBudgetProblem(report, "a"), std::nullopt);
  const auto oneProblem = [&](QChart* made) {
    std::unique_ptr<QChart> chart(made);
    std::map<QString, QList<QPointF>> lines;
    std::vector<QAreaSeries*> bands;
    for (QAbstractSeries* series : chart->series()) {
      if (auto* line = qobject_cast<QLineSeries*>(series)) lines[line->name()] = line->points();
      else bands.push_back(qobject_cast<QAreaSeries*>(series));
    }
    return std::make_tuple(chart->title(), lines, bands.empty() ? QList<QPointF>() : bands[0]->lowerSeries()->points(),
                           bands.empty() ? QList<QPointF>() : bands[0]->upperSeries()->points());
  };
  const auto [titleB, linesB, lowerB, upperB] = oneProblem(charts::MakeProblemFixedBudgetChart(report));
  EXPECT_TRUE(titleB.endsWith("b.dat")) << titleB.toStdString();
  EXPECT_DOUBLE_EQ(at(linesB.at("Exp 0"), 100), 10);
  EXPECT_DOUBLE_EQ(at(lowerB, 100), 5);
  EXPECT_DOUBLE_EQ(at(upperB, 100), 15);
  EXPECT_DOUBLE_EQ(at(linesB.at("Exp 1"), 1000), 0);
  const auto [titleA, linesA, lowerA, upperA] = oneProblem(charts::MakeFixedBudgetChartFor(report, 0));
  EXPECT_TRUE(titleA.endsWith("a.dat"));
  EXPECT_DOUBLE_EQ(at(linesA.at("Exp 0"), 100), 0.5);
  EXPECT_GT(linesA.at("Exp 0").front().x(), 5);  // a.dat's runs all have a solution from 5 repairs on
  EXPECT_LT(linesA.at("Exp 0").front().x(), 6.5);
  EXPECT_EQ(charts::MakeFixedBudgetChartFor(report, 2), nullptr);

  // A decade axis from the 1 ms clock tick labels that decade: Qt places the first label at the ceiling of
  // ln(min) / ln(10), which for exactly 0.001 is -2.9999999999999996, so the range must start a hair lower.
  for (const double low : {0.001, 1e-4, 0.01, 1.0}) {
    std::unique_ptr<QLogValueAxis> axis(charts::NewDecadeAxis(low, low * 1000, "%g", "x"));
    EXPECT_EQ(std::ceil(std::log(axis->min()) / std::log(10.0)), std::round(std::log10(low))) << low;
    EXPECT_EQ(std::floor(std::log(axis->max()) / std::log(10.0)), std::round(std::log10(low)) + 3) << low;
  }

  // Without traces (a batch from before they were recorded) there is nothing to draw.
  analysis::Report untraced = report;
  untraced.traces.assign(untraced.runs.size(), std::nullopt);
  analysis::AnalyseAnytime(untraced, {0, 1});
  EXPECT_EQ(charts::MakeTargetRepairsChart(untraced), nullptr);
  EXPECT_EQ(charts::MakeTargetSecondsChart(untraced), nullptr);
  EXPECT_EQ(charts::MakeFixedBudgetChart(untraced), nullptr);
  EXPECT_EQ(charts::MakeProblemFixedBudgetChart(untraced), nullptr);
}

}  // namespace
}  // namespace mirelock
