// Trace files of a batch and their export: every results file has its trace,
// traces.csv joins runs.csv on (problem, experiment, run), a batch without
// traces still reports, and a damaged trace is named while the rest of the
// report is written and nothing of the batch is touched.
#include <map>

#include "CliTest.h"

namespace mirelock::test {
namespace {

class Traces : public CliTest {
 protected:
  Batch SolveBatch() {
    Batch batch = MakeBatch("b", "qap", 2, "--max-repairs 30 --times-n on --runs 2", SourceDir() / "examples" / "qap");
    Mirelock("run '" + batch.doc + "'");
    return batch;
  }
  static std::vector<std::string> TraceFiles(const Batch& batch) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(batch.dir / "results"))
      if (entry.path().extension() == ".trace") names.push_back(entry.path().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(Traces, EachResultsFileHasItsTraceAndTracesCsvJoinsRunsCsv) {
  const Batch batch = SolveBatch();
  const auto traces = TraceFiles(batch);
  ASSERT_EQ(traces.size(), 6u);  // 3 problems x 2 experiments
  for (const std::string& trace : traces)
    EXPECT_TRUE(fs::exists(trace.substr(0, trace.size() - 6) + ".txt")) << trace;

  const auto result = Run("report '" + batch.doc + "' --out rep");
  ASSERT_EQ(result.status, 0) << result.err;
  const auto rows = Split(ReadText(root_ / "rep" / "traces.csv"));
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows[0], "problem,experiment,run,repairs,cpu_seconds,cost,gap_percent");
  std::size_t traceLines = 0;
  for (const std::string& trace : traces)
    for (const std::string& line : Split(ReadText(trace)))
      traceLines += line.ends_with("\tend") ? 0 : 1;  // each run's end line is no new best
  traceLines -= traces.size();                        // nor is the header
  EXPECT_EQ(rows.size() - 1, traceLines);

  // The last row of each run is the run's best: cost, gap and repairs as runs.csv has them.
  std::map<std::string, std::vector<std::string>> lastOfRun;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const auto fields = Split(rows[i], ',');
    ASSERT_EQ(fields.size(), 7u) << rows[i];
    lastOfRun[fields[0] + "," + fields[1] + "," + fields[2]] = fields;
  }
  const auto runs = Split(ReadText(root_ / "rep" / "runs.csv"));
  ASSERT_EQ(runs.size(), 13u);
  EXPECT_EQ(lastOfRun.size(), 12u);
  for (std::size_t i = 1; i < runs.size(); ++i) {
    const auto run = Split(runs[i], ',');
    const auto& last = lastOfRun[run[0] + "," + run[1] + "," + run[3]];
    ASSERT_EQ(last.size(), 7u) << runs[i];
    EXPECT_EQ(last[5], run[4]) << runs[i];  // cost
    EXPECT_EQ(last[6], run[5]) << runs[i];  // gap_percent
    EXPECT_EQ(last[3], run[7]) << runs[i];  // repairs to the best
  }
  const std::string page = ReadText(root_ / "rep" / "report.html");
  EXPECT_EQ(page.find("No trace files"), std::string::npos);
  ExpectIn(page, "<h2>Anytime behaviour</h2>");
  ExpectIn(page, "<th>ECDF area</th>");
  ExpectIn(page, "<h3>ERT to +1 %</h3>");
  ExpectIn(page, "bootstrap interval from 1000 resamples");

  // --targets sets the ladder; a bad list is refused before anything is written.
  ASSERT_EQ(Run("report '" + batch.doc + "' --out rep2 --targets 0,3").status, 0);
  ExpectIn(ReadText(root_ / "rep2" / "report.html"), "<h3>ERT to +3 %</h3>");
  const auto bad = Run("report '" + batch.doc + "' --out rep3 --targets 2,1");
  EXPECT_NE(bad.status, 0);
  ExpectIn(bad.err, "--targets must increase: 2,1");
  EXPECT_FALSE(fs::exists(root_ / "rep3"));

  // ERT over CPU seconds stands under each ERT in repairs. The one-problem fixed-budget chart names its
  // problem; --budget-problem chooses it, and a name not in the batch is refused before anything is written.
  ExpectIn(page, " s [");
  const auto chosen = Run("report '" + batch.doc + "' --out rep4 --budget-problem chr12a.dat");
  ASSERT_EQ(chosen.status, 0) << chosen.err;
#ifdef MIRELOCK_WITH_CHARTS
  ExpectIn(ReadText(root_ / "rep4" / "report.html"), "Fixed-budget quality on one problem: chr12a.dat");
  EXPECT_TRUE(fs::exists(root_ / "rep4" / "fixed-budget-problem.svg"));
#endif
  const auto unknown = Run("report '" + batch.doc + "' --out rep5 --budget-problem nug99.dat");
  EXPECT_NE(unknown.status, 0);
  ExpectIn(unknown.err, "--budget-problem: nug99.dat is not a problem of the batch");
  EXPECT_FALSE(fs::exists(root_ / "rep5"));
}

TEST_F(Traces, ABatchWithoutTracesStillReportsAndSaysWhatNeedsThem) {
  const Batch batch = SolveBatch();
  Mirelock("report '" + batch.doc + "' --out with");
  for (const std::string& trace : TraceFiles(batch)) fs::remove(trace);
  const auto result = Run("report '" + batch.doc + "' --out without");
  ASSERT_EQ(result.status, 0) << result.err;
  ExpectIn(result.err, "No trace files beside the results files in");
  ExpectIn(ReadText(root_ / "without" / "report.html"), "No trace files beside the results files");
  ExpectIn(ReadText(root_ / "without" / "report.html"), "This section needs the runs' trace files");
  EXPECT_EQ(ReadText(root_ / "without" / "traces.csv"), "problem,experiment,run,repairs,cpu_seconds,cost,gap_percent\n");
  EXPECT_EQ(ReadText(root_ / "without" / "runs.csv").size(), ReadText(root_ / "with" / "runs.csv").size());
#ifdef MIRELOCK_WITH_CHARTS
  // With traces the fixed-target charts stand in for the run-time chart of whole runs; without, the page
  // says what they need and no file of theirs is left from the earlier report.
  const std::string with = ReadText(root_ / "with" / "report.html");
  for (const char* stem : {"target-repairs", "target-seconds"}) {
    EXPECT_TRUE(fs::exists(root_ / "with" / (std::string(stem) + ".png"))) << stem;
    EXPECT_TRUE(fs::exists(root_ / "with" / (std::string(stem) + ".svg"))) << stem;
    ExpectIn(with, std::string(stem) + ".png / .svg");
    EXPECT_FALSE(fs::exists(root_ / "without" / (std::string(stem) + ".png"))) << stem;
  }
  EXPECT_FALSE(fs::exists(root_ / "with" / "run-time.png"));
  EXPECT_EQ(with.find("No run-time chart"), std::string::npos);
  ExpectIn(ReadText(root_ / "without" / "report.html"), "No fixed-target charts: they need the runs' traces");
#endif
}

TEST_F(Traces, ADamagedTraceIsNamedAndTheRestOfTheReportIsWritten) {
  const Batch batch = SolveBatch();
  const auto traces = TraceFiles(batch);
  const std::string cut = traces[0], garbled = traces[1], missing = traces[2];
  const std::string cutText = ReadText(cut).substr(0, ReadText(cut).size() - 2);
  { std::ofstream(cut, std::ios::trunc) << cutText; }
  { std::ofstream(garbled, std::ios::trunc) << "Run\tRepairs\tCPU_seconds\tCost\n1\tmany\t0.000\t5\n"; }
  fs::remove(missing);
  const auto before = Snapshot(batch.dir / "results");

  const auto result = Run("report '" + batch.doc + "' --out rep");
  ASSERT_EQ(result.status, 0) << result.err;
  ExpectIn(result.err, "Trace file " + cut + ": line");
  ExpectIn(result.err, "Trace file " + garbled + ": line 2 is not run, repairs, CPU seconds and cost");
  ExpectIn(result.err, "Trace file " + missing + ": missing");
  const std::string page = ReadText(root_ / "rep" / "report.html");
  ExpectIn(page, "Trace files that could not be read");
  EXPECT_EQ(Split(ReadText(root_ / "rep" / "runs.csv")).size(), 13u);
  // Three pairs of two runs have rows; the damaged three have none.
  std::set<std::string> tracedRuns;
  for (const std::string& row : Split(ReadText(root_ / "rep" / "traces.csv")))
    if (row.rfind("problem,", 0) != 0) tracedRuns.insert(row.substr(0, row.find(',', row.find(',') + 1)));
  EXPECT_EQ(tracedRuns.size(), 3u);
  EXPECT_EQ(Snapshot(batch.dir / "results"), before);  // nothing of the batch rewritten
}

}  // namespace
}  // namespace mirelock::test
