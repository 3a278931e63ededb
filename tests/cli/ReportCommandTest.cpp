// mirelock report on small batches of the bundled QAP examples: its figures
// agree with the summary CSV, it reports bad files with the summariser's own
// messages, lists the pairs it leaves out, and without a second experiment
// gives the tables without tests.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "CommandRunner.h"

namespace mirelock {
namespace {

namespace fs = std::filesystem;
using test::RunMirelock;

const fs::path kExamples = fs::path(MIRELOCK_TEST_DATA).parent_path().parent_path() / "examples" / "qap";

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Split(const std::string& line, char separator) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  for (std::string field; std::getline(in, field, separator);) fields.push_back(field);
  return fields;
}

std::set<std::string> Lines(const std::string& text) {
  std::set<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.insert(line);
  return lines;
}

class ReportCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("mirelock-report-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "results");
    fs::create_directories(root_ / "problems");
    for (const auto& entry : fs::directory_iterator(kExamples)) fs::copy(entry.path(), root_ / "problems");
  }
  void TearDown() override { fs::remove_all(root_); }

  test::CommandResult Mirelock(const std::string& arguments) { return RunMirelock(root_.string(), arguments); }

  // A solved batch of the three examples with one experiment per lambda, two runs each.
  void SolveBatch(const std::vector<std::string>& lambdas) {
    ASSERT_EQ(Mirelock("doc new b.mirel --type qap --problems problems --results results --full full.csv "
                       "--summary summary.csv --seed-mode fixed --seed 21")
                  .status,
              0);
    for (const std::string& lambda : lambdas)
      ASSERT_EQ(Mirelock("exp add b.mirel --lambda " + lambda + " --max-repairs 20 --times-n on --runs 2").status, 0);
    ASSERT_EQ(Mirelock("run b.mirel").status, 0);
  }

  // runs.csv: per experiment, the gaps of its runs.
  std::map<std::string, std::vector<double>> GapsByExperiment(const fs::path& csv) {
    std::istringstream in(ReadText(csv));
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "problem,experiment,experiment_label,run,cost,gap_percent,success,repairs_to_best,cpu_seconds");
    std::map<std::string, std::vector<double>> gaps;
    while (std::getline(in, line)) {
      const auto fields = Split(line, ',');
      EXPECT_EQ(fields.size(), 9u) << line;
      if (fields.size() == 9) gaps[fields[1]].push_back(std::stod(fields[5]));
    }
    return gaps;
  }

  fs::path root_;
};

TEST_F(ReportCommand, AgreesWithTheSummaryAndDrawsItsCharts) {
  SolveBatch({"1", "2", "3"});
  ASSERT_EQ(Mirelock("summarise b.mirel").status, 0);
  const auto result = Mirelock("report b.mirel --out rep");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("Report on 3 problems and 3 experiments"), std::string::npos) << result.out;

  // The summary's short line of mean gaps per experiment against the runs' gaps.
  std::vector<std::string> summaryMeans;
  for (const std::string& line : Lines(ReadText(root_ / "summary.csv")))
    if (line.rfind("Best_%gap_to_best_known_cost,", 0) == 0) summaryMeans = Split(line, ',');
  ASSERT_GE(summaryMeans.size(), 4u);
  const auto gaps = GapsByExperiment(root_ / "rep" / "runs.csv");
  ASSERT_EQ(gaps.size(), 3u);
  const std::string html = ReadText(root_ / "rep" / "report.html");
  for (int e = 0; e < 3; ++e) {
    const auto& values = gaps.at(std::to_string(e));
    ASSERT_EQ(values.size(), 6u);  // 3 problems x 2 runs
    double sum = 0;
    for (double v : values) sum += v;
    EXPECT_NEAR(sum / 6, std::stod(summaryMeans[1 + e]), 1e-5 * (1 + std::abs(sum / 6))) << e;
    // The page shows the summary's own six-digit figure.
    EXPECT_NE(html.find("<td>" + summaryMeans[1 + e] + "</td>"), std::string::npos) << summaryMeans[1 + e];
  }
  EXPECT_NE(html.find("Friedman test over 3 problems and 3 experiments"), std::string::npos);
  EXPECT_NE(html.find("Pairwise Wilcoxon"), std::string::npos);
  EXPECT_EQ(html.find("http"), std::string::npos);  // nothing to fetch
#ifdef MIRELOCK_WITH_CHARTS
  for (const char* chart : {"gap-boxplot", "critical-difference"})
    for (const char* extension : {".png", ".svg"})
      EXPECT_GT(fs::file_size(root_ / "rep" / (std::string(chart) + extension)), 1000u) << chart << extension;
  EXPECT_NE(html.find("data:image/png;base64,"), std::string::npos);
#else
  EXPECT_NE(result.out.find("Charts need the Qt build"), std::string::npos) << result.out;
#endif
}

TEST_F(ReportCommand, BadFilesGetTheSummarisersMessagesAndIncompletePairsAreListed) {
  SolveBatch({"1", "2"});
  // A malformed best.txt line, a field that is no number, and a results file one run short.
  std::ofstream(root_ / "problems" / "best.txt") << "chr12a.dat 9552\nnug12.dat lots\ntai12a.dat 224416\n";
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(root_ / "results")) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  ASSERT_EQ(files.size(), 6u);
  {
    std::string text = ReadText(files[0]);  // chr12a, a field of its first run
    const auto tab = text.find('\t', text.find('\n') + 1);
    text.replace(tab + 1, text.find('\t', tab + 1) - tab - 1, "x1");
    std::ofstream(files[0], std::ios::binary | std::ios::trunc) << text;
    std::string shortened = ReadText(files.back());  // tai12a: its last line goes
    shortened.erase(shortened.rfind('\n', shortened.size() - 2) + 1);
    std::ofstream(files.back(), std::ios::binary | std::ios::trunc) << shortened;
    // A writer on another host is at work on it (this host cannot tell whether it lives).
    std::ofstream(files.back().string() + ".tmp-4242-0@elsewhere") << shortened;
  }
  const auto summary = Mirelock("summarise b.mirel");
  const auto report = Mirelock("report b.mirel --out rep");
  ASSERT_EQ(report.status, 0) << report.err;
  EXPECT_EQ(Lines(report.err), Lines(summary.err));
  EXPECT_NE(report.err.find("did not hold a name and a cost"), std::string::npos) << report.err;
  EXPECT_NE(report.err.find("is not a number"), std::string::npos) << report.err;
  EXPECT_NE(report.out.find("Report on 2 problems"), std::string::npos) << report.out;
  EXPECT_NE(report.out.find("1 incomplete pair(s) left out"), std::string::npos) << report.out;
  const std::string html = ReadText(root_ / "rep" / "report.html");
  EXPECT_NE(html.find("<h2>Left out</h2>"), std::string::npos);
  EXPECT_NE(html.find("<tr><td>tai12a.dat</td><td>Exp 1</td><td>2</td><td>3</td><td class=\"text\">being written"),
            std::string::npos);
  EXPECT_NE(report.out.find("A batch is still running"), std::string::npos) << report.out;
  EXPECT_NE(html.find("No usable best known cost for nug12.dat"), std::string::npos);

  // Without best.txt: the same message as the summariser, and every problem ranked on raw costs.
  fs::remove(root_ / "problems" / "best.txt");
  const auto noBest = Mirelock("report b.mirel --out rep");
  EXPECT_EQ(noBest.status, 0);
  EXPECT_NE(noBest.err.find("Failed to read in best known/optimal costs in best.txt"), std::string::npos);
  EXPECT_NE(ReadText(root_ / "rep" / "report.html").find("mean cost (no best known)"), std::string::npos);
}

TEST_F(ReportCommand, OneExperimentGivesTablesWithoutTests) {
  SolveBatch({"1"});
  // A chart left by an earlier report that this one does not draw must not stay beside it.
  fs::create_directories(root_ / "b-report");
  std::ofstream(root_ / "b-report" / "critical-difference.svg") << "<svg/>";
  const auto result = Mirelock("report b.mirel");  // default directory beside the document
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("No rank tests: The experiment list holds one experiment"), std::string::npos)
      << result.out;
  const std::string html = ReadText(root_ / "b-report" / "report.html");
  EXPECT_NE(html.find("No tests: The experiment list holds one experiment"), std::string::npos);
  EXPECT_NE(html.find("<h2>Per problem</h2>"), std::string::npos);
#ifdef MIRELOCK_WITH_CHARTS
  EXPECT_FALSE(fs::exists(root_ / "b-report" / "critical-difference.svg"));
  EXPECT_TRUE(fs::exists(root_ / "b-report" / "gap-boxplot.svg"));
#endif

  // No complete problem: the summariser's message and a failure status; nothing written.
  fs::remove_all(root_ / "results");
  fs::create_directories(root_ / "results");
  const auto empty = Mirelock("report b.mirel --out none");
  EXPECT_EQ(empty.status, 1);
  EXPECT_NE(empty.err.find("No problems completed for all experiments, please solve some first."), std::string::npos);
  EXPECT_FALSE(fs::exists(root_ / "none"));
}

}  // namespace
}  // namespace mirelock
