#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "cli/CommandError.h"
#include "cli/ConsoleProgress.h"
#include "cli/DocumentSupport.h"
#include "cli/SharedFlags.h"
#include "cli/TuneCommands.h"
#include "experiments/DefaultPaths.h"
#include "experiments/DocumentFile.h"
#include "platform/FatalError.h"
#include "platform/FilePaths.h"
#include "runner/BatchPartition.h"
#include "runner/ProblemDiscovery.h"
#include "runner/ResultsFiles.h"
#include "solver/SolverParameters.h"
#include "solver/factory/SolverFactory.h"
#include "tune/ChildProcess.h"
#include "tune/IraceSession.h"
#include "tune/TuningReport.h"

namespace fs = std::filesystem;

namespace mirelock {

namespace {

struct TuneArguments {
  std::string document, train, test, budget = "1000", jobs = "1", seed, space, out;
  bool slurm = false;
  bool printSpace = false;
};

volatile std::sig_atomic_t interruptRequested = 0;
void OnInterrupt(int) { interruptRequested = 1; }

// Ctrl-C is noted, not obeyed at once: irace is told to stop and its log stays.
class InterruptScope {
 public:
  InterruptScope() {
    interruptRequested = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &previous_);
  }
  ~InterruptScope() { ::sigaction(SIGINT, &previous_, nullptr); }
  InterruptScope(const InterruptScope&) = delete;
  InterruptScope& operator=(const InterruptScope&) = delete;

 private:
  struct sigaction previous_ {};
};

std::string Absolute(const std::string& path) { return fs::absolute(path).lexically_normal().string(); }

std::string OwnProgram() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (error) throw CommandError("tune: cannot find the mirelock program itself: " + error.message());
  return self.string();
}

// The problems of a set, as absolute paths; an empty set is refused.
std::vector<std::string> ProblemSet(const std::string& what, const std::string& directory, ProblemType type) {
  std::vector<std::string> paths;
  for (const std::string& name : DiscoverProblems(directory, type)) paths.push_back(JoinPath(directory, name));
  if (paths.empty())
    throw CommandError("The " + what + " set is empty: " + directory + " holds no " + ProblemMenuName(type) +
                       " problems (*." + ProblemExtension(type) + ")");
  return paths;
}

// Reads every problem and hands it experiment 0 the way a batch does, with
// no run: a problem or a setting the solver refuses stops the tuning before
// irace starts.
void CheckSolverAccepts(ProblemType type, const std::vector<std::string>& problems, CExperiment experiment) {
  experiment.m_nNumRuns = 0;
  for (const std::string& path : problems) {
    std::unique_ptr<Solver> solver = CreateSolver(type);
    if (!solver) throw CommandError("Problem type not implemented");
    RecordingMessages messages;
    ResultsFileRequest request;
    request.problemName = fs::path(path).filename().string();
    request.problemPath = path;
    request.resultsFileName = "no file";
    request.experiment = experiment;
    ResultsFileHooks hooks;
    hooks.messages = &messages;
    std::ostringstream discarded;
    try {
      if (WritePairLines(*solver, discarded, request, hooks, [] { return true; }) != PairOutcome::kFinished)
        throw CommandError(path + ": the solver cannot read it" +
                           (messages.Messages().empty() ? "" : ": " + messages.Messages().back()));
    } catch (const UnsupportedFeature& feature) {
      throw CommandError(std::string("Experiment 0: ") + feature.what() +
                         " is not yet implemented for the current problem type");
    } catch (const FatalError& fatal) {
      std::string text = fatal.Text();
      while (!text.empty() && text.back() == '\n') text.pop_back();
      throw CommandError(path + ": the solver refuses it: " + text);
    }
  }
}

tune::ParameterSpace SpaceFor(const TuneArguments& args, ProblemType type) {
  if (args.space.empty()) return tune::DeclaredSpace(type);
  std::ifstream in(args.space);
  if (!in) throw CommandError("Cannot open the parameter space file " + args.space);
  try {
    return tune::ReadIraceParameters(in, args.space, type);
  } catch (const tune::SpaceError& error) {
    throw CommandError(error.what());
  }
}

void MakeDirectory(const std::string& path) {
  std::error_code error;
  fs::create_directories(path, error);
  if (error || !fs::is_directory(path, error))
    throw CommandError("Cannot create the directory " + path + (error ? ": " + error.message() : ""));
}

double ChildrenCpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs irace to its end, its output into irace.log and the progress onto
// standard error. Returns its exit status; `interrupted` tells a Ctrl-C.
int RunIrace(const tune::IraceSetup& setup, bool& interrupted, std::deque<std::string>& lastLines) {
  const std::string logPath = setup.directory + "/irace.log";
  std::ofstream log(logPath, std::ios::trunc);
  if (!log) throw CommandError("Failed to open " + logPath);
  ConsoleProgress console;
  tune::IraceProgress progress(setup.budget);
  interrupted = interruptRequested != 0;
  if (interrupted) return 130;  // Ctrl-C before irace started
  tune::ChildProcess irace(tune::IraceCommand(setup), setup.directory);
  auto stopAsked = std::chrono::steady_clock::time_point();
  std::string line;
  console.Update(progress.Text());
  for (;;) {
    const auto read = irace.ReadLine(line, 200);
    if (read == tune::ChildProcess::ReadResult::kEnd) break;
    if (read == tune::ChildProcess::ReadResult::kLine) {
      log << line << '\n';
      lastLines.push_back(line);
      if (lastLines.size() > 25) lastLines.pop_front();
      if (progress.Read(line)) console.Update(progress.Text());
    }
    if (interruptRequested && !interrupted) {
      interrupted = true;
      stopAsked = std::chrono::steady_clock::now();
      irace.Signal(SIGINT);
    } else if (interrupted && std::chrono::steady_clock::now() - stopAsked > std::chrono::seconds(10)) {
      irace.Signal(SIGKILL);  // R did not stop on the interrupt
    }
  }
  console.Finish();
  log.flush();
  return irace.Wait();
}

std::vector<CExperiment> EliteExperiments(const tune::TuningSummary& summary, const CExperiment& base, ProblemType type) {
  std::vector<CExperiment> elites;
  for (const tune::EliteSummary& elite : summary.elites) {
    try {
      elites.push_back(tune::ApplySettings(base, type, elite.settings));
    } catch (const tune::SpaceError& error) {
      throw CommandError(std::string("irace's elite setting ") + std::to_string(elite.id) + ": " + error.what());
    }
  }
  return elites;
}

// A shell command run with the terminal: its progress shows, and Ctrl-C reaches it.
int RunWithTerminal(const std::vector<std::string>& argv) {
  std::string command;
  for (const std::string& arg : argv) command.append(command.empty() ? "" : " ").append(tune::ShellQuoted(arg));
  std::cout.flush();
  const int raw = std::system(command.c_str());
  if (raw == -1) return 1;
  if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
  return WEXITSTATUS(raw);
}

void Tune(const TuneArguments& args) {
  // Flags, the document, the space and the problem sets are checked before anything is run or written.
  std::uint64_t budget = 0;
  unsigned jobs = 1;
  try {
    jobs = ParseJobs(args.jobs);
  } catch (const std::invalid_argument& bad) {
    throw CommandError(bad.what());
  }
  {
    std::istringstream in(args.budget);
    if (!(in >> budget) || !in.eof() || args.budget.empty() || args.budget[0] == '-')
      throw CommandError("--budget " + args.budget + ": Please enter a positive integer.");
  }
  auto document = LoadCommandDocument(args.document);
  CMirelockDoc& doc = document->doc;
  const ProblemType type = doc.m_nProblemType;
  if (type >= kProblemTypeCount) throw CommandError("Problem type not implemented");
  const std::uint32_t seed = args.seed.empty() ? doc.m_nFixedSeed.load() : ParseUnsignedFlag("--seed", args.seed);
  const CExperiment experiment0 = doc.m_experiments.empty() ? CExperiment() : doc.m_experiments.front();
  const tune::ParameterSpace space = SpaceFor(args, type);
  if (args.printSpace) {
    tune::WriteIraceParameters(std::cout, space);
    return;
  }

  const std::string trainDirectory = WithTrailingSlash(args.train.empty() ? doc.m_strProblemsDir : Absolute(args.train));
  const std::vector<std::string> training = ProblemSet("training", trainDirectory, type);
  std::vector<std::string> testing;
  std::string testDirectory;
  if (!args.test.empty()) {
    testDirectory = WithTrailingSlash(Absolute(args.test));
    std::error_code error;
    if (fs::equivalent(testDirectory, trainDirectory, error))
      throw CommandError("--test " + args.test + ": the test problems must be others than the training problems");
    testing = ProblemSet("test", testDirectory, type);
  }
  // From here on Ctrl-C is noted and passed on to irace, whose log then stays.
  InterruptScope scope;
  const std::uint64_t minimum = tune::MinimumBudget(space.VariableCount());
  if (budget < minimum)
    throw CommandError("--budget " + args.budget + ": irace's first race needs at least " + std::to_string(minimum) +
                       " target runs for " + std::to_string(space.VariableCount()) + " parameters");
  CheckSolverAccepts(type, training, experiment0);
  CheckSolverAccepts(type, testing, experiment0);
  const std::string version = [] {
    try {
      return tune::CheckIraceAvailable();
    } catch (const tune::IraceMissing& missing) {
      throw CommandError(missing.what());
    }
  }();

  const fs::path docPath(args.document);
  const std::string out = Absolute(args.out.empty() ? (docPath.parent_path() / (docPath.stem().string() + "-tune")).string()
                                                    : args.out);
  tune::IraceSetup setup;
  setup.mirelock = OwnProgram();
  setup.directory = out + "/irace";
  setup.baseDocument = setup.directory + "/base.mirel";
  setup.instances = training;
  setup.space = space;
  setup.budget = budget;
  setup.seed = seed;
  setup.jobs = jobs;
  setup.slurm = args.slurm;
  MakeDirectory(setup.directory);
  {
    CMirelockDoc base;
    base.m_nProblemType = type;
    base.m_experiments = {experiment0};
    SaveDocumentFile(base, setup.baseDocument);
  }
  try {
    tune::WriteIraceFiles(setup);
  } catch (const std::runtime_error& error) {
    throw CommandError(error.what());
  }

  std::cerr << "tune: irace " << version << ", " << training.size() << " training problems, budget " << budget
            << " runs; irace's files in " << setup.directory << "\n";
  const double cpuBefore = ChildrenCpuSeconds();
  const auto wallStart = std::chrono::steady_clock::now();
  bool interrupted = false;
  std::deque<std::string> lastLines;
  const int status = RunIrace(setup, interrupted, lastLines);
  if (interrupted)
    throw CommandError("Tuning stopped. irace's log so far is kept in " + setup.directory +
                           " (irace.Rdata, irace.log); the document is unchanged.",
                       130);
  if (status != 0) {
    for (const std::string& line : lastLines) std::cerr << line << '\n';
    throw CommandError("irace ended with status " + std::to_string(status) + "; its whole output is in " +
                       setup.directory + "/irace.log. The document is unchanged.");
  }

  tune::TuningRecord record;
  try {
    record.summary = tune::ReadTuningSummary(setup);
  } catch (const std::runtime_error& error) {
    throw CommandError(std::string(error.what()) + "\nThe document is unchanged.");
  }
  record.cpuSeconds = ChildrenCpuSeconds() - cpuBefore;
  record.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  record.type = type;
  record.trainingDirectory = trainDirectory;
  record.trainingProblems = training.size();
  record.budget = budget;
  record.seed = seed;
  record.jobs = jobs;
  record.slurm = args.slurm;
  record.costMeasure = tune::CostMeasure(type);
  record.logDirectory = setup.directory;
  record.experiment0Settings = tune::SettingsText(experiment0, type);

  // The elites join the list after experiment 0 (added first when the list was empty); one already listed is not added twice.
  const std::vector<CExperiment> elites = EliteExperiments(record.summary, experiment0, type);
  std::vector<CExperiment> updated = doc.m_experiments;
  if (updated.empty()) updated.push_back(experiment0);
  std::vector<CExperiment> compared = {experiment0};
  for (const CExperiment& elite : elites) {
    const auto listed = std::find(updated.begin(), updated.end(), elite);
    if (listed != updated.end()) {
      record.eliteNames.push_back("Exp " + std::to_string(listed - updated.begin()) + " (already listed)");
    } else {
      updated.push_back(elite);
      record.eliteNames.push_back("Exp " + std::to_string(updated.size() - 1));
    }
    if (std::find(compared.begin(), compared.end(), elite) == compared.end()) compared.push_back(elite);
  }

  if (!testing.empty()) {
    CMirelockDoc test;
    test.m_nProblemType = type;
    test.m_strProblemsDir = testDirectory;
    test.m_strResultsDir = WithTrailingSlash(out + "/test-results");
    test.m_strFullResultsFile = out + "/test-full-results.csv";
    test.m_strSummaryFile = out + "/test-summary.csv";
    test.m_experiments = compared;
    test.m_nSeedMode = doc.m_nSeedMode.load();
    test.m_nFixedSeed = doc.m_nFixedSeed.load();
    MakeDirectory(test.m_strResultsDir);
    const std::string testDocument = out + "/test.mirel";
    SaveDocumentFile(test, testDocument);
    record.reportPage = "report.html";
    std::cerr << "tune: test batch of experiment 0 and " << compared.size() - 1 << " elite(s) on " << testing.size()
              << " test problems\n";
    const int runStatus = RunWithTerminal({setup.mirelock, "run", testDocument, "--jobs", std::to_string(jobs)});
    if (runStatus != 0)
      throw CommandError("The test batch did not finish (status " + std::to_string(runStatus) +
                             "); the document is unchanged. The tuned experiments are in " + testDocument +
                             ": mirelock run then mirelock report on it finish the test.",
                         runStatus);
    const int reportStatus = RunWithTerminal({setup.mirelock, "report", testDocument, "--out", out});
    if (reportStatus != 0)
      throw CommandError("mirelock report on the test batch failed; the document is unchanged.", reportStatus);
  }

  std::ostringstream text;
  tune::WriteTuningText(text, record);
  const std::string page = out + "/tuning.html";
  {
    std::ofstream html(page, std::ios::trunc);
    tune::WriteTuningPage(html, record);
    if (!html) throw CommandError("Failed to write " + page + "; the document is unchanged.");
  }
  doc.m_experiments = updated;
  SaveDocumentFile(doc, args.document);
  std::cout << text.str() << "Tuning summary: " << page << "\n";
  if (!testing.empty()) std::cout << "Test report (the verdict): " << out << "/report.html\n";
}

}  // namespace

void RegisterTuneCommand(CLI::App& app) {
  auto args = std::make_shared<TuneArguments>();
  CLI::App* command = app.add_subcommand(
      "tune", "Search the experiment settings with irace on training problems; the elites join the document, and "
              "--test compares them with experiment 0 on unseen problems in a batch and its report");
  command->add_option("DOC", args->document, "document file: problem type, experiment 0 (defaults and termination "
                                             "criteria) and, without --train, the training problems")
      ->required();
  command->add_option("--train", args->train, "training problems (default: the document's problems directory)")
      ->type_name("DIR");
  command->add_option("--test", args->test, "test problems, never seen in tuning: a batch and a report on them")
      ->type_name("DIR");
  command->add_option("--budget", args->budget, "target runs irace may spend (default 1000)")->type_name("RUNS");
  command->add_option("--jobs", args->jobs, "runs side by side (irace --parallel; Slurm: jobs submitted at once)")
      ->type_name("N");
  command->add_option("--seed", args->seed, "irace's seed (default: the document's fixed seed)")->type_name("S");
  command->add_option("--space", args->space, "irace parameters file to search instead of the declared space")
      ->type_name("FILE");
  command->add_option("--out", args->out, "directory for irace's files, the summary and the test (default: DOC's "
                                          "name + \"-tune\" beside it)")
      ->type_name("DIR");
  command->add_flag("--slurm", args->slurm, "run every target run as a Slurm job (irace's batch mode)");
  command->add_flag("--print-space", args->printSpace,
                    "print the document type's declared space as an irace parameters file (to edit for --space) and stop");
  command->callback([args] { Tune(*args); });
}

}  // namespace mirelock
