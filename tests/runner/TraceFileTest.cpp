// Trace files: each run's new bests agree with the monitor file of the same
// search, a pair's trace is written and renamed with its results file (a kill
// before the rename leaves neither), the results lines stay as they were, and
// a cut or garbled trace is refused with a message naming it.
#include "runner/TraceFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>

#include "BatchBench.h"
#include "experiments/CExperiment.h"
#include "common/TestSupport.h"
#include "platform/TemporaryFiles.h"
#include "runner/ResultsFileCheck.h"
#include "runner/ResultsFiles.h"
#include "solver/factory/SolverFactory.h"

namespace mirelock::test {
namespace {

void ExpectIn(const std::string& text, const std::string& part) {
  EXPECT_NE(text.find(part), std::string::npos) << part << " not in: " << text;
}

// The best cost the monitor file shows at each of its repairs: the Best_Cost
// column (QAP, TSP) or the lowest Cost so far (SAT, whose monitor has no best column).
std::vector<std::pair<std::uint64_t, std::int64_t>> MonitorBests(const std::string& path, bool runningMinimum) {
  std::vector<std::pair<std::uint64_t, std::int64_t>> bests;
  std::int64_t lowest = INT64_MAX;
  const auto lines = Split(ReadFile(path));
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    const auto fields = Split(lines[i], '\t');
    const std::int64_t value = std::stoll(fields.at(1));
    lowest = std::min(lowest, value);
    bests.emplace_back(std::stoull(fields.at(0)), runningMinimum ? lowest : value);
  }
  return bests;
}

// The monitor file is written by other code from the same search: at every
// repair it shows, the best cost equals the trace's last point at or before it,
// and every point of the trace is a repair at which the monitor's best drops.
TEST(TraceFile, NewBestsAgreeWithTheMonitorFileOfTheSameRun) {
  struct Case {
    ProblemType type;
    const char* file;
    unsigned repairs;
    bool runningMinimum;
    unsigned lag;  // QAP writes a move's monitor line before it checks the move for a new best
  };
  const Case cases[] = {{kProblemQAP, "qap/nug12.dat", 3000, false, 1},
                        {kProblemSAT, "sat/uuf50-01.cnf", 3000, true, 0},
                        {kProblemTSP, "tsp/eil51.tsp", 1500, false, 0}};
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    auto solver = CreateSolver(c.type);
    std::ifstream in(TestData(c.file));
    solver->GetProblem().SetSourceName(TestData(c.file));
    solver->GetProblem().Read(in);
    CExperiment experiment;
    experiment.m_nMaxRepairs = c.repairs;
    experiment.m_bMaxRepairsTimesN = false;
    experiment.m_nNumRuns = 1;
    RunSettings settings;
    settings.seedMode = kSeedFixed;
    settings.fixedSeed = 7;
    SolverParameters& parameters = solver->GetParameters();
    ApplyExperiment(parameters, experiment, settings);
    const std::string monitor = dir.Path() + "monitor";
    parameters.SetMonitor(monitor, 1);
    solver->Solve();
    const auto& points = solver->GetStats().Trace().Points();
    ASSERT_GE(points.size(), 2u);
    EXPECT_EQ(solver->GetStats().Trace().EndRepairs(), c.repairs);
    const auto bests = MonitorBests(monitor, c.runningMinimum);
    ASSERT_GE(bests.size(), c.repairs / 2);
    std::size_t k = 0, drops = 0;
    for (std::size_t i = c.lag; i < bests.size(); ++i) {
      const std::uint64_t seen = bests[i].first - c.lag;  // the repairs whose best the line shows
      while (k + 1 < points.size() && points[k + 1].repairs <= seen) ++k;
      ASSERT_LE(points[k].repairs, seen);
      EXPECT_EQ(points[k].cost, bests[i].second) << "at repair " << bests[i].first;
      if (i > c.lag && bests[i].second < bests[i - 1].second) {
        ++drops;
        EXPECT_EQ(points[k].repairs, seen) << "the monitor's best dropped between two trace points";
      }
    }
    for (std::size_t j = 1; j < points.size(); ++j) {
      EXPECT_LT(points[j].cost, points[j - 1].cost);
      EXPECT_GE(points[j].cpuMilliseconds, points[j - 1].cpuMilliseconds);
    }
    // Every new best after the start is one drop of the monitor's best (it shows every repair).
    EXPECT_EQ(drops + 1, points.size());
  }
}

// The clock is read for the first point and then only every kClockSpacing repairs; the points
// between get times interpolated in repairs between the readings around them and the run's end.
TEST(TraceFile, PointsBetweenClockReadingsAreInterpolatedInRepairs) {
  RunTrace trace;
  int reads = 0;
  auto clock = [&reads](long value) {
    return [&reads, value] {
      ++reads;
      return value;
    };
  };
  trace.Record(0, 100, clock(0));    // read: the first point
  trace.Record(4, 90, clock(-7));    // 4 after the reading: not read (-7 would show)
  trace.Record(8, 80, clock(-7));
  trace.Record(16, 70, clock(40));   // 16 after: read
  trace.Record(20, 60, clock(-7));   // after it, only the end
  trace.Finish(116, 90);
  EXPECT_EQ(reads, 2);
  std::vector<long> times;
  for (const TracePoint& point : trace.Points()) times.push_back(point.cpuMilliseconds);
  // 0 + 40 * 4/16, 0 + 40 * 8/16, 40 + 50 * 4/100 (rounded down).
  EXPECT_EQ(times, (std::vector<long>{0, 10, 20, 40, 42}));
  trace.Clear();
  trace.Record(3, 5, clock(7));
  EXPECT_EQ(reads, 3);
  EXPECT_EQ(trace.Points().size(), 1u);
}

std::string WithoutColumn(const std::string& text, std::size_t column) {
  std::string out;
  for (const std::string& line : Split(text)) {
    auto fields = Split(line, '\t');
    if (fields.size() > column) fields[column] = "";
    for (std::size_t i = 0; i < fields.size(); ++i) out += (i ? "\t" : "") + fields[i];
    out += '\n';
  }
  return out;
}

// A QAP pair through the batch's writer: the results file holds exactly the
// lines written without a trace (CPU seconds aside), and its trace ends each
// run at the row's repairs to the best and best cost.
TEST(TraceFile, ResultsLinesStayAsTheyWereAndTheTraceEndsAtEachRowsBest) {
  TempDir dir;
  std::filesystem::copy_file(TestData("qap/nug12.dat"), dir.Path() + "nug12.dat");
  ResultsFileRequest request;
  request.problemName = "nug12.dat";
  request.problemPath = dir.Path() + "nug12.dat";
  request.resultsDirectory = dir.Path();
  request.experiment.m_nNumRuns = 3;
  request.experiment.m_nMaxRepairs = 400;
  request.experiment.m_bMaxRepairsTimesN = false;
  request.resultsFileName = GetResultsFilename(kProblemQAP, "nug12.dat", request.experiment);
  ResultsFileHooks hooks;
  hooks.runSettings = [] { return RunSettings{}; };
  auto traced = CreateSolver(kProblemQAP);
  ASSERT_EQ(WriteResultsFile(*traced, request, hooks), PairOutcome::kFinished);
  auto plain = CreateSolver(kProblemQAP);
  std::ostringstream without;
  ASSERT_EQ(WritePairLines(*plain, without, request, hooks, [] { return true; }), PairOutcome::kFinished);
  const std::string written = ReadFile(request.ResultsPath());
  EXPECT_EQ(WithoutColumn(written, 4), WithoutColumn(without.str(), 4));  // column 4: CPU_secs

  const std::string tracePath = dir.Path() + TraceFileName(request.resultsFileName);
  ASSERT_EQ(tracePath.substr(tracePath.size() - 6), ".trace");
  const auto rows = Split(written);
  std::vector<std::optional<double>> repairsToBest;
  for (std::size_t i = 1; i < rows.size(); ++i)
    if (!rows[i].empty()) repairsToBest.push_back(std::stod(Split(rows[i], '\t').at(5)));
  ASSERT_EQ(repairsToBest.size(), 3u);
  const TraceFileContents contents = ReadTraceFile(tracePath, repairsToBest);
  ASSERT_EQ(contents.error, "");
  for (std::size_t r = 0; r < 3; ++r)
    EXPECT_EQ(std::to_string(contents.runs[r].cost.back()), Split(rows[r + 1], '\t').at(1));
  // A foreign row count or a run that ends elsewhere tells a trace from another batch.
  repairsToBest.pop_back();
  ExpectIn(ReadTraceFile(tracePath, repairsToBest).error, "holds 3 runs, its results file 2");
  repairsToBest.push_back(*repairsToBest[0] + 1);
  ExpectIn(ReadTraceFile(tracePath, repairsToBest).error, "run 3 ends at repair");
}

// A pair whose process is killed after writing both files, before renaming
// either: neither final name exists, so the pair reads as not solved and no
// trace stands without its results file; the next batch writes both.
TEST(TraceFile, AKillBetweenWritingAndRenamingLeavesNeitherFile) {
  Bench bench({"p.cnf"}, {});
  const ResultsFileRequest request = bench.Request("p.cnf");
  const std::string tracePath = request.resultsDirectory + TraceFileName(request.resultsFileName);
  // This process writes a temporary file before the fork, so that a child
  // recording its parent's id (kept from the first file) would show below.
  {
    const std::optional<TemporaryFile> before = CreateTemporaryFile(request.resultsDirectory, "before");
    ASSERT_TRUE(before.has_value());
    ::close(before->fd);
    std::filesystem::remove(before->path);
    ReleaseTemporaryFile(*before);
  }
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The commit lock is held by a thread of this process: the pair writes
    // every line, waits at the rename, and the process dies there.
    std::mutex commitLock;
    std::atomic<bool> held{false}, lastStep{false};
    std::thread holder([&] {
      std::lock_guard<std::mutex> lock(commitLock);
      held = true;
      while (!lastStep) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      ::kill(::getpid(), SIGKILL);
    });
    while (!held) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    bench.config.onStep = [&](int, unsigned run, unsigned step) {
      if (run == 3 && step == bench.config.stepsPerRun) lastStep = true;
    };
    ResultsFileHooks hooks;
    hooks.commitLock = &commitLock;
    FakeSolver solver(bench.config, 1);
    WriteResultsFile(solver, request, hooks);
    _exit(3);  // not reached: the rename waits for the lock
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << status;
  EXPECT_FALSE(std::filesystem::exists(request.ResultsPath()));
  EXPECT_FALSE(std::filesystem::exists(tracePath));
  // Both were written: two temporary files with their owner records, and nothing else.
  const auto left = ListDir(request.resultsDirectory);
  EXPECT_EQ(left.size(), 4u);
  std::size_t nonEmpty = 0;
  for (const std::string& name : left) {
    EXPECT_EQ(name.rfind(".mirelock-", 0), 0u) << name;
    if (!name.ends_with(".owner") && std::filesystem::file_size(request.resultsDirectory + name) > 0) ++nonEmpty;
  }
  EXPECT_EQ(nonEmpty, 2u);
  // The dead child's records name the child, so the stale-file sweep removes both files.
  EXPECT_EQ(RemoveStaleTemporaries(request.resultsDirectory), 2);
  EXPECT_TRUE(ListDir(request.resultsDirectory).empty());

  ResultsFileHooks hooks;
  FakeSolver again(bench.config, 2);
  ASSERT_EQ(WriteResultsFile(again, request, hooks), PairOutcome::kFinished);
  EXPECT_TRUE(CheckResultsFile(request.ResultsPath(), "p.cnf", 3).complete);
  // The fake solver records no new bests and never stops a clock: each run has its end line alone.
  EXPECT_EQ(ReadFile(tracePath), std::string(kTraceHeader) + "\n1\t0\t0.000\tend\n2\t0\t0.000\tend\n3\t0\t0.000\tend\n");
}

// Damaged trace files, each named after its defect: a message naming the file and the defect.
TEST(TraceFile, ACutOrGarbledTraceIsRefusedNamingTheFile) {
  const std::string folder = TestData("trace/");
  const std::vector<std::optional<double>> twoRuns{12.0, 9.0};
  const TraceFileContents good = ReadTraceFile(folder + "good.trace", twoRuns);
  ASSERT_EQ(good.error, "");
  ASSERT_EQ(good.runs.size(), 2u);
  EXPECT_EQ(good.runs[1].cost, (std::vector<std::int64_t>{45, 44, 41}));
  EXPECT_EQ(good.runs[1].totalRepairs, 30u);
  EXPECT_DOUBLE_EQ(good.runs[1].totalCpuSeconds, 0.011);
  const std::pair<const char*, const char*> defects[] = {
      {"cut-mid-line.trace", "line 8 is cut off"},
      {"cut-at-a-line-end.trace", "run 2 has no end line (the file is cut)"},
      {"last-run-missing.trace", "holds 1 runs, its results file 2"},
      {"no-header.trace", "no trace header on line 1"},
      {"garbled-number.trace", "line 3 is not run, repairs, CPU seconds and cost"},
      {"run-out-of-order.trace", "line 5 has run 3 out of order"},
      {"run-without-end-line.trace", "line 4 has run 2 out of order"},
      {"repairs-going-back.trace", "line 3 goes back in repairs"},
      {"binary.trace", "no trace header on line 1"},
      {"absent.trace", "missing"},
  };
  for (const auto& [file, message] : defects) {
    const TraceFileContents contents = ReadTraceFile(folder + file, twoRuns);
    EXPECT_EQ(contents.error.rfind("Trace file " + folder + file + ": ", 0), 0u) << contents.error;
    ExpectIn(contents.error, message);
    EXPECT_TRUE(contents.runs.empty());
  }
  EXPECT_TRUE(ReadTraceFile(folder + "absent.trace", twoRuns).missing);
}

}  // namespace
}  // namespace mirelock::test
