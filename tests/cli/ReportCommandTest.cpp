// mirelock report on small batches of the bundled QAP examples: its figures
// agree with the summary CSV, it reports bad files with the summariser's own
// messages, lists the pairs it leaves out, and without a second experiment
// gives the tables without tests.
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

#include "CliTest.h"

namespace mirelock::test {
namespace {

std::set<std::string> LineSet(const std::string& text) {
  const auto lines = Split(text);
  return {lines.begin(), lines.end()};
}

// Every file of a folder with its contents.
std::map<std::string, std::string> FolderContents(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) files[entry.path().filename().string()] = ReadText(entry.path());
  return files;
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
  std::erase_if(files, [](const std::string& name) { return name.ends_with(".trace"); });
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

  // One experiment: nothing tells it apart, so its label is its full description; experiment and run both
  // count from 0, as the page's "Exp 0" does.
  const auto runs = Split(ReadText(out / "runs.csv"));
  ASSERT_GE(runs.size(), 3u);
  const auto first = Split(runs[1], ',');
  ASSERT_EQ(first.size(), 9u);
  EXPECT_EQ(first[1], "0");
  ExpectIn(first[2], "Lambda=1");
  ExpectIn(first[2], "Max repairs=20*N");
  EXPECT_EQ(first[3], "0");
  EXPECT_EQ(Split(runs[2], ',')[3], "1");

  // No complete problem: the summariser's message and a failure status; nothing written.
  fs::remove_all(batch.dir / "results");
  fs::create_directories(batch.dir / "results");
  const auto empty = Run("report '" + batch.doc + "' --out none");
  EXPECT_EQ(empty.status, 1);
  ExpectIn(empty.err, "No problems completed for all experiments, please solve some first.");
  EXPECT_FALSE(fs::exists(root_ / "none"));
}

TEST_F(ReportCommand, PageRecordsWhereItCameFrom) {
  const Batch batch = SolveBatch(2);
  ASSERT_EQ(Run("report '" + batch.doc + "' --out rep").status, 0);
  const std::string html = ReadText(root_ / "rep" / "report.html");
  ExpectIn(html, "<tr><th>Program</th><td class=\"text\">Mirelock 1.0</td></tr>");
  ExpectIn(html, "<tr><th>Seed mode</th><td class=\"text\">fixed, seed 21</td></tr>");
  ExpectIn(html, "<tr><th>Document</th><td class=\"text\">" + fs::absolute(batch.doc).lexically_normal().string());
  ExpectIn(html, "<tr><th>Command</th><td class=\"text\">");
  ExpectIn(html, " report " + fs::absolute(batch.doc).string() + " --out rep</td>");
  ExpectIn(html, "<tr><th>Made</th><td class=\"text\">20");  // an ISO 8601 date
  EXPECT_EQ(html.find("p = &lt;"), std::string::npos);
  ExpectIn(html, "wilcox.test(x, y, paired = TRUE, exact = NULL, correct = TRUE)");
}

TEST_F(ReportCommand, BestKnownCostZeroAndSatCutoffs) {
  // A best known cost of 0: no gaps, but successes (none here: every cost is above 0), named on the page.
  const Batch batch = SolveBatch(2);
  WriteFile((batch.dir / "problems" / "best.txt").string(), "chr12a.dat 0\nnug12.dat 578\ntai12a.dat 224416\n");
  ASSERT_EQ(Run("report '" + batch.doc + "' --out rep").status, 0);
  const std::string html = ReadText(root_ / "rep" / "report.html");
  ExpectIn(html, "Best known cost 0 for chr12a.dat");
  ExpectIn(html, "<tr><td>chr12a.dat</td><td class=\"text\">mean cost (best known 0)</td>");
  EXPECT_EQ(html.find("No usable best known cost for chr12a.dat"), std::string::npos);
  for (const std::string& line : Split(ReadText(root_ / "rep" / "runs.csv"))) {
    if (line.rfind("chr12a.dat,", 0) == 0) {
      EXPECT_EQ(Split(line, ',')[6], "0") << line;  // known: not reached
    }
  }

  // SAT with a budget of one repair per variable: uf50-01 (50 variables) is never solved, so every run
  // counts twice its cutoff, 2 x 50 = 100, whatever its partial best.
  const Batch sat = MakeBatch("s", "sat", 1, "--max-repairs 1 --times-n on --runs 3", SourceDir() / "examples" / "sat");
  Mirelock("run '" + sat.doc + "'");
  ASSERT_EQ(Run("report '" + sat.doc + "' --out srep").status, 0);
  ExpectIn(ReadText(root_ / "srep" / "report.html"), "100 <span class=\"runs\">(0/3)</span>");
}

TEST_F(ReportCommand, AFullDiskLeavesTheEarlierReportWhole) {
  const Batch batch = SolveBatch(3);
  ASSERT_EQ(Run("report '" + batch.doc + "' --out rep").status, 0);
  const auto before = FolderContents(root_ / "rep");
  ASSERT_GE(before.size(), 2u);  // at least the page and runs.csv, charts or not
  // A file size limit stands in for a full disk: the charts (or, without them, the page) no longer fit, and
  // every write beyond the limit fails (EFBIG; the signal that would end the process is ignored).
#ifdef MIRELOCK_WITH_CHARTS
  const std::string limitKiB = "48";
#else
  const std::string limitKiB = "4";
#endif
  const std::string command = "cd '" + root_.string() + "' && (trap '' XFSZ; ulimit -f " + limitKiB + "; exec '" MIRELOCK_BINARY
                              "' report '" + batch.doc + "' --out rep) >.out 2>.err";
  const int raw = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 1);
  ExpectIn(ReadText(root_ / ".err"), "Failed to write");
  // Not one file replaced, truncated or left half-written beside them.
  EXPECT_EQ(FolderContents(root_ / "rep"), before);
}

}  // namespace
}  // namespace mirelock::test
