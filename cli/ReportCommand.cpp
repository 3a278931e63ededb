#include "cli/ReportCommand.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include "analysis/AnytimeAnalysis.h"
#include "analysis/HtmlReport.h"
#include "analysis/ReportBuilder.h"
#include "analysis/RunsCsv.h"
#include "analysis/TracesCsv.h"
#include "cli/CommandError.h"
#include "cli/DocumentSupport.h"
#include "cli/ReportChartFiles.h"
#include "platform/AtomicFileWriter.h"

namespace fs = std::filesystem;

namespace mirelock {

namespace {

struct ReportArguments {
  std::string document;
  std::string out;
  std::string targets;
  std::string budgetProblem;
};

// Beside the document, named after it, so that reports of two documents do not mix.
std::string DefaultDirectory(const std::string& document) {
  const fs::path path(document);
  return (path.parent_path() / (path.stem().string() + "-report")).string();
}

std::string UtcNow() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

// An argument as a shell reads it back: quoted when it holds anything but plain characters.
std::string ShellWord(const std::string& word) {
  if (!word.empty() && word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                                              "@%+=:,./_-") == std::string::npos)
    return word;
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// This process's command line, from the kernel's record of it.
std::string CommandLine() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string line, word;
  while (std::getline(in, word, '\0')) line += (line.empty() ? "" : " ") + ShellWord(word);
  return line;
}

// Every file of the report, staged under temporary names; nothing replaces an earlier report's file until
// all of them are written whole, so a full disk leaves the earlier report as it was rather than a mix.
class ReportFiles {
 public:
  explicit ReportFiles(std::string directory) : directory_(std::move(directory)) {}

  template <typename Write>
  void Stage(const std::string& name, Write write) {
    const std::string path = (fs::path(directory_) / name).string();
    auto file = std::make_unique<AtomicFileWriter>(path);
    if (!file->IsOpen()) throw CommandError("Failed to open " + path + ": " + std::strerror(errno));
    write(file->Stream());
    if (!file->Flush()) throw CommandError("Failed to write " + path + ": " + std::strerror(errno));
    files_.push_back(std::move(file));
  }

  void StageBytes(const std::string& name, const std::string& bytes) {
    Stage(name, [&](std::ostream& out) { out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())); });
  }

  // Renames every staged file into place; the page last, so that it never names charts not yet there.
  void CommitAll() {
    for (auto& file : files_)
      if (!file->Commit()) throw CommandError("Failed to write " + file->FinalPath() + ": " + std::strerror(errno));
    files_.clear();
  }

 private:
  std::string directory_;
  std::vector<std::unique_ptr<AtomicFileWriter>> files_;
};

void Report(const ReportArguments& args) {
  std::vector<double> targets = analysis::DefaultTargets();
  if (!args.targets.empty()) {
    std::string error;
    const auto parsed = analysis::ParseTargets(args.targets, error);
    if (!parsed) throw CommandError(error);
    targets = *parsed;
  }
  auto document = LoadCommandDocument(args.document);
  const std::string directory = args.out.empty() ? DefaultDirectory(args.document) : args.out;
  auto report = analysis::BuildReport(document->doc, document->messages, targets);
  if (!report) throw CommandError("");  // the message is on standard error
  if (!args.budgetProblem.empty()) {
    report->anytime.budgetProblem = analysis::FindBudgetProblem(*report, args.budgetProblem);
    if (!report->anytime.budgetProblem)
      throw CommandError("--budget-problem: " + args.budgetProblem + " is not a problem of the batch in " +
                         report->problemsDirectory);
  }
  std::error_code ignored;
  report->origin.document = fs::absolute(args.document, ignored).lexically_normal().string();
  report->origin.date = UtcNow();
  report->origin.commandLine = CommandLine();

  std::error_code error;
  fs::create_directories(directory, error);
  if (error || !fs::is_directory(directory, error))
    throw CommandError("Cannot create the report directory " + directory + (error ? ": " + error.message() : ""));

  const DrawnCharts drawn = DrawReportCharts(*report);
  for (const std::string& stem : drawn.failures) document->messages.Show("Failed to draw the chart " + stem);
  std::vector<analysis::ReportChartImage> images;
  for (const DrawnChart& chart : drawn.charts) images.push_back(chart.image);

  ReportFiles files(directory);
  files.Stage("runs.csv", [&](std::ostream& out) { analysis::WriteRunsCsv(out, *report); });
  files.Stage("traces.csv", [&](std::ostream& out) { analysis::WriteTracesCsv(out, *report); });
  for (const DrawnChart& chart : drawn.charts) {
    files.StageBytes(chart.fileStem + ".png", chart.png);
    files.StageBytes(chart.fileStem + ".svg", chart.svg);
  }
  files.Stage("report.html", [&](std::ostream& out) { analysis::WriteHtmlReport(out, *report, images, drawn.note); });
  files.CommitAll();
  // A chart of an earlier report in the same directory would contradict this one.
  for (const std::string& stem : drawn.absentStems)
    for (const char* extension : {".png", ".svg"}) fs::remove(fs::path(directory) / (stem + extension), ignored);

  const std::string page = (fs::path(directory) / "report.html").string();
  std::cout << "Report on " << report->problems.size() << " problem" << (report->problems.size() == 1 ? "" : "s")
            << " and " << report->experiments.size() << " experiment"
            << (report->experiments.size() == 1 ? "" : "s") << ": " << page << "\n";
  if (!report->testsOmitted.empty()) std::cout << "No rank tests: " << report->testsOmitted << "\n";
  if (!report->incompletePairs.empty())
    std::cout << report->incompletePairs.size() << " incomplete pair(s) left out; the report lists them.\n";
  if (report->batchInProgress) std::cout << "A batch is still running: the report covers the finished problems.\n";
  if (drawn.charts.empty() && !drawn.note.empty()) std::cout << drawn.note << "\n";
  if (!drawn.failures.empty()) throw CommandError("");
}

}  // namespace

void RegisterReportCommand(CLI::App& app) {
  auto args = std::make_shared<ReportArguments>();
  CLI::App* command = app.add_subcommand(
      "report", "Compare the experiments of the document's batch: report.html with tables, rank tests and charts, "
                "each chart as PNG and SVG, runs.csv and traces.csv");
  command->add_option("DOC", args->document, "document file")->required();
  command->add_option("--out", args->out, "directory for the report (default: DOC's name + \"-report\" beside it)")
      ->type_name("DIR");
  command->add_option("--targets", args->targets,
                      "targets of the anytime views, percent above the best known cost, increasing "
                      "(default: 0,0.1,0.5,1,2,5; SAT: solved)")
      ->type_name("LIST");
  command->add_option("--budget-problem", args->budgetProblem,
                      "problem file name of the one-problem fixed-budget chart (default: the problem whose traced "
                      "runs end with the highest mean gap)")
      ->type_name("NAME");
  command->callback([args] { Report(*args); });
}

}  // namespace mirelock
