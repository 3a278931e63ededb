#include "cli/ReportCommand.h"

#include <filesystem>
#include <iostream>
#include <memory>

#include "analysis/HtmlReport.h"
#include "analysis/ReportBuilder.h"
#include "analysis/RunsCsv.h"
#include "cli/CommandError.h"
#include "cli/DocumentSupport.h"
#include "cli/ReportChartFiles.h"
#include "runner/AtomicFileWriter.h"

namespace fs = std::filesystem;

namespace mirelock {

namespace {

struct ReportArguments {
  std::string document;
  std::string out;
};

// Beside the document, named after it, so that reports of two documents do not mix.
std::string DefaultDirectory(const std::string& document) {
  const fs::path path(document);
  return (path.parent_path() / (path.stem().string() + "-report")).string();
}

// The file replaces an earlier one only once written whole.
template <typename Write>
void WriteWhole(const std::string& path, Write write) {
  AtomicFileWriter file(path);
  if (!file.IsOpen()) throw CommandError("Failed to open " + path);
  write(file.Stream());
  if (!file.Commit()) throw CommandError("Failed to write " + path);
}

void Report(const ReportArguments& args) {
  auto document = LoadCommandDocument(args.document);
  const std::string directory = args.out.empty() ? DefaultDirectory(args.document) : args.out;
  auto report = analysis::BuildReport(document->doc, document->messages);
  if (!report) throw CommandError("");  // the message is on standard error

  std::error_code error;
  fs::create_directories(directory, error);
  if (error || !fs::is_directory(directory, error))
    throw CommandError("Cannot create the report directory " + directory + (error ? ": " + error.message() : ""));

  WriteWhole((fs::path(directory) / "runs.csv").string(),
             [&](std::ostream& out) { analysis::WriteRunsCsv(out, *report); });
  std::string chartsNote;
  std::vector<std::string> failures;
  const auto charts = DrawReportCharts(*report, directory, chartsNote, failures);
  for (const std::string& path : failures) document->messages.Show("Failed to write " + path);
  const std::string page = (fs::path(directory) / "report.html").string();
  WriteWhole(page, [&](std::ostream& out) { analysis::WriteHtmlReport(out, *report, charts, chartsNote); });

  std::cout << "Report on " << report->problems.size() << " problem" << (report->problems.size() == 1 ? "" : "s")
            << " and " << report->experiments.size() << " experiment"
            << (report->experiments.size() == 1 ? "" : "s") << ": " << page << "\n";
  if (!report->testsOmitted.empty()) std::cout << "No rank tests: " << report->testsOmitted << "\n";
  if (!report->incompletePairs.empty())
    std::cout << report->incompletePairs.size() << " incomplete pair(s) left out; the report lists them.\n";
  if (report->batchInProgress) std::cout << "A batch is still running: the report covers the finished problems.\n";
  if (charts.empty() && !chartsNote.empty()) std::cout << chartsNote << "\n";
  if (!failures.empty()) throw CommandError("");
}

}  // namespace

void RegisterReportCommand(CLI::App& app) {
  auto args = std::make_shared<ReportArguments>();
  CLI::App* command = app.add_subcommand(
      "report", "Compare the experiments of the document's batch: report.html with tables, rank tests and charts, "
                "each chart as PNG and SVG, and runs.csv");
  command->add_option("DOC", args->document, "document file")->required();
  command->add_option("--out", args->out, "directory for the report (default: DOC's name + \"-report\" beside it)")
      ->type_name("DIR");
  command->callback([args] { Report(*args); });
}

}  // namespace mirelock
