// The report's charts draw offscreen into PNG and SVG files that hold what
// the report says: one box per experiment, every experiment on the
// critical-difference chart, a run-length curve per experiment.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBoxPlotSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QImage>
#include <QLineSeries>
#include <QScatterSeries>
#include <memory>

#include "analysis/Analysis.h"
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

}  // namespace
}  // namespace mirelock
