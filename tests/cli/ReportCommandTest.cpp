// mirelock report on small batches of the bundled QAP examples: its figures
// agree with the summary CSV, it reports bad files with the summariser's own
// messages, lists the pairs it leaves out, and without a second experiment
// gives the tables without tests.
#include <cmath>
#include <set>

#include "CliTest.h"

namespace mirelock::test {
namespace {

std::set<std::string> LineSet(const std::string& text) {
  const auto lines = Split(text);
  return {lines.begin(), lines.end()};
}

class ReportCommand : public CliTest {
 protected:
  // A solved batch of the three examples, one experiment per lambda 1, 2, ..., two runs each.
  Batch SolveBatch(int experiments) {
    Batch batch = MakeBatch("b", "qap", experiments, "--max-repairs 20 --times-n on --runs 2",
                            SourceDir() / "examples" / "qap");
    Mirelock("run '" + batch.doc + "'");
    return batch;
  }
};

TEST_F(ReportCommand, AgreesWithTheSummaryAndDrawsItsCharts) {
  const Batch batch = SolveBatch(3);
  Mirelock("summarise '" + batch.doc + "'");
  const auto result = Run("report '" + batch.doc + "' --out rep");
  ASSERT_EQ(result.status, 0) << result.err;
  ExpectIn(result.out, "Report on 3 problems and 3 experiments");

  // runs.csv: per experiment, the gaps of its runs, against the summary's mean gaps.
  const auto runs = Split(ReadText(root_ / "rep" / "runs.csv"));
  ASSERT_EQ(runs.size(), 19u);  // 3 problems x 3 experiments x 2 runs
  EXPECT_EQ(runs[0], "problem,experiment,experiment_label,run,cost,gap_percent,success,repairs_to_best,cpu_seconds");
  std::vector<double> gapSums(3);
  for (std::size_t i = 1; i < runs.size(); ++i) {
    const auto fields = Split(runs[i], ',');
    ASSERT_EQ(fields.size(), 9u) << runs[i];
    gapSums.at(std::stoul(fields[1])) += std::stod(fields[5]);
  }
  std::vector<std::string> summaryMeans;
  for (const std::string& line : Split(ReadText(batch.dir / "summary.csv")))
    if (line.rfind("Best_%gap_to_best_known_cost,", 0) == 0) summaryMeans = Split(line, ',');
  ASSERT_GE(summaryMeans.size(), 4u);
  const std::string html = ReadText(root_ / "rep" / "report.html");
  for (int e = 0; e < 3; ++e) {
    const double mean = gapSums[e] / 6;
    EXPECT_NEAR(mean, std::stod(summaryMeans[1 + e]), 1e-5 * (1 + std::abs(mean))) << e;
    ExpectIn(html, "<td>" + summaryMeans[1 + e] + "</td>");  // the summary's own six-digit figure
  }
  ExpectIn(html, "Friedman test over 3 problems and 3 experiments");
  ExpectIn(html, "Pairwise Wilcoxon");
  EXPECT_EQ(html.find("http"), std::string::npos);  // nothing to fetch
#ifdef MIRELOCK_WITH_CHARTS
  for (const char* chart : {"gap-boxplot.png", "gap-boxplot.svg", "critical-difference.png", "critical-difference.svg"})
    EXPECT_GT(fs::file_size(root_ / "rep" / chart), 1000u) << chart;
  ExpectIn(html, "data:image/png;base64,");
#else
  ExpectIn(result.out, "Charts need the Qt build");
#endif
}

TEST_F(ReportCommand, BadFilesGetTheSummarisersMessagesAndIncompletePairsAreListed) {
  const Batch batch = SolveBatch(2);
  // A malformed best.txt line, a field that is no number, and a results file one run short.
  WriteFile((batch.dir / "problems" / "best.txt").string(), "chr12a.dat 9552\nnug12.dat lots\ntai12a.dat 224416\n");
  auto files = ListDir((batch.dir / "results").string());
  std::erase(files, std::string(kSeedRecordName));
  ASSERT_EQ(files.size(), 6u);
  const std::string first = (batch.dir / "results" / files[0]).string();  // chr12a: a field of its first run
  std::string text = ReadFile(first);
  const auto tab = text.find('\t', text.find('\n') + 1);
  WriteFile(first, text.replace(tab + 1, text.find('\t', tab + 1) - tab - 1, "x1"));
  const std::string last = (batch.dir / "results" / files.back()).string();  // tai12a: its last line goes
  std::string shortened = ReadFile(last);
  shortened.erase(shortened.rfind('\n', shortened.size() - 2) + 1);
  WriteFile(last, shortened);
  // A writer on another host is at work on it (this host cannot tell whether it lives).
  // Its owner record names the host, the process and the final file.
  WriteFile((batch.dir / "results" / ".mirelock-Ab12Cd").string(), shortened);
  WriteFile((batch.dir / "results" / ".mirelock-Ab12Cd.owner").string(), "elsewhere\n4242\n" + files.back() + "\n");

  const auto summary = Run("summarise '" + batch.doc + "'");
  const auto report = Run("report '" + batch.doc + "' --out rep");
  ASSERT_EQ(report.status, 0) << report.err;
  EXPECT_EQ(LineSet(report.err), LineSet(summary.err));
  ExpectIn(report.err, "did not hold a name and a cost");
  ExpectIn(report.err, "is not a number");
  ExpectIn(report.out, "Report on 2 problems");
  ExpectIn(report.out, "1 incomplete pair(s) left out");
  ExpectIn(report.out, "A batch is still running");
  const std::string html = ReadText(root_ / "rep" / "report.html");
  ExpectIn(html, "<h2>Left out</h2>");
  ExpectIn(html, "<tr><td>tai12a.dat</td><td>Exp 1</td><td>2</td><td>3</td><td class=\"text\">being written");
  ExpectIn(html, "No usable best known cost for nug12.dat");

  // Without best.txt: the same message as the summariser, and every problem ranked on raw costs.
  fs::remove(batch.dir / "problems" / "best.txt");
  const auto noBest = Run("report '" + batch.doc + "' --out rep");
  EXPECT_EQ(noBest.status, 0);
  ExpectIn(noBest.err, "Failed to read in best known/optimal costs in best.txt");
  ExpectIn(ReadText(root_ / "rep" / "report.html"), "mean cost (no best known)");
}

TEST_F(ReportCommand, OneExperimentGivesTablesWithoutTests) {
  const Batch batch = SolveBatch(1);
  // A chart left by an earlier report that this one does not draw must not stay beside it.
  const fs::path out = batch.dir / "batch-report";  // the default: beside the document
  fs::create_directories(out);
  WriteFile((out / "critical-difference.svg").string(), "<svg/>");
  const auto result = Run("report '" + batch.doc + "'");
  ASSERT_EQ(result.status, 0) << result.err;
  ExpectIn(result.out, "No rank tests: The experiment list holds one experiment");
  const std::string html = ReadText(out / "report.html");
  ExpectIn(html, "No tests: The experiment list holds one experiment");
  ExpectIn(html, "<h2>Per problem</h2>");
#ifdef MIRELOCK_WITH_CHARTS
  EXPECT_FALSE(fs::exists(out / "critical-difference.svg"));
  EXPECT_TRUE(fs::exists(out / "gap-boxplot.svg"));
#endif

  // No complete problem: the summariser's message and a failure status; nothing written.
  fs::remove_all(batch.dir / "results");
  fs::create_directories(batch.dir / "results");
  const auto empty = Run("report '" + batch.doc + "' --out none");
  EXPECT_EQ(empty.status, 1);
  ExpectIn(empty.err, "No problems completed for all experiments, please solve some first.");
  EXPECT_FALSE(fs::exists(root_ / "none"));
}

}  // namespace
}  // namespace mirelock::test
