#include "tune/IraceSession.h"

#include <sys/stat.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "platform/NumberFormat.h"
#include "tune/ChildProcess.h"

namespace mirelock::tune {

namespace {

constexpr const char* kInstallHint =
    "mirelock tune runs irace, which needs R: install the Debian packages r-base-core and r-cran-irace "
    "(scripts/bootstrap does it)";

std::string Join(const std::string& directory, const char* name) { return directory + "/" + name; }

// A string for R, in double quotes.
std::string RQuoted(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

template <typename Write>
void WriteFile(const std::string& path, Write write, bool executable = false) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("Failed to open " + path);
  write(out);
  out.close();
  if (!out) throw std::runtime_error("Failed to write " + path);
  if (executable && ::chmod(path.c_str(), 0755) != 0) throw std::runtime_error("Cannot make " + path + " executable");
}

// The summary of a finished tuning, out of irace's log: tab-separated lines
// "total", "iteration" (one per iteration) and "elite" (best first). An
// elite's mean rank and mean cost are over the instance and seed pairs that
// all final elites ran.
constexpr const char* kSummaryScript = R"(args <- commandArgs(trailingOnly = TRUE)
load(args[1])
r <- iraceResults
number <- function(x) sprintf("%.10g", x)
elites <- r$allElites[[length(r$allElites)]]
cells <- r$experiments[, as.character(elites), drop = FALSE]
common <- cells[stats::complete.cases(cells), , drop = FALSE]
if (length(elites) == 1) {
  ranks <- matrix(1, nrow = nrow(common), ncol = 1)
} else {
  ranks <- matrix(t(apply(common, 1, rank)), nrow = nrow(common))
}
log <- r$experimentLog
cat("total", nrow(r$allConfigurations), nrow(log), sep = "\t"); cat("\n")
for (it in seq_along(r$allElites)) {
  rows <- log[log[, "iteration"] == it, , drop = FALSE]
  best <- if (it <= length(r$iterationElites) && !is.na(r$iterationElites[it])) r$iterationElites[it] else 0
  cat("iteration", it, length(unique(rows[, "configuration"])), nrow(rows), length(r$allElites[[it]]), best,
      sep = "\t"); cat("\n")
}
for (k in seq_along(elites)) {
  conf <- r$allConfigurations[r$allConfigurations$.ID. == elites[k], , drop = FALSE]
  line <- irace::buildCommandLine(conf[1, names(r$parameters$switches)], r$parameters$switches)
  cat("elite", elites[k], number(mean(ranks[, k])), number(mean(common[, k])), nrow(common), line, sep = "\t")
  cat("\n")
}
)";

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, '\t')) fields.push_back(field);
  return fields;
}

double Number(const std::string& text) {
  std::size_t used = 0;
  const double value = std::stod(text, &used);
  if (used != text.size()) throw std::invalid_argument(text);
  return value;
}

}  // namespace

std::string CheckIraceAvailable() {
  ProgramOutput result;
  try {
    result = RunProgram({"Rscript", "--vanilla", "-e", "cat(as.character(packageVersion('irace')))"});
  } catch (const std::runtime_error&) {
    throw IraceMissing(kInstallHint);
  }
  std::string version = result.output;
  while (!version.empty() && (version.back() == '\n' || version.back() == ' ')) version.pop_back();
  if (result.status != 0 || version.empty()) throw IraceMissing(kInstallHint);
  return version;
}

std::string ScenarioPath(const IraceSetup& setup) { return Join(setup.directory, "scenario.txt"); }
std::string LogPath(const IraceSetup& setup) { return Join(setup.directory, "irace.Rdata"); }

void WriteIraceFiles(const IraceSetup& setup) {
  const std::string parameters = Join(setup.directory, "parameters.txt");
  const std::string instances = Join(setup.directory, "instances.txt");
  const std::string runner = Join(setup.directory, "target-runner");
  const std::string evaluator = Join(setup.directory, "target-evaluator");
  WriteFile(parameters, [&](std::ostream& out) { WriteIraceParameters(out, setup.space); });
  WriteFile(instances, [&](std::ostream& out) {
    for (const std::string& path : setup.instances) out << path << '\n';
  });
  const std::string call = ShellQuoted(setup.mirelock) + " tune-run " + ShellQuoted(setup.baseDocument);
  if (!setup.slurm) {
    WriteFile(runner, [&](std::ostream& out) {
      out << "#!/bin/sh\n# irace's target runner: one run of mirelock, its cost on standard output.\n"
          << "exec " << call << " \"$@\"\n";
    }, true);
  } else {
    // irace's batch mode: the runner submits the run as a job and prints its
    // id; once squeue no longer lists the job, the evaluator reads its cost.
    WriteFile(runner, [&](std::ostream& out) {
      out << "#!/bin/bash\n# irace's target runner in Slurm batch mode: one run as a Slurm job; prints the job id.\n"
          << "# $MIRELOCK_SBATCH_OPTIONS, if set, is added to every sbatch call (partition, time, ...).\n"
          << "run=\"c$1-$2-$3\"\n"
          << "args=$(printf ' %q' \"$@\")\n"
          << "id=$(sbatch --parsable --job-name=mirelock-tune --output=\"$run.cost\" --error=\"$run.err\" "
             "$MIRELOCK_SBATCH_OPTIONS --wrap \"exec "
          << call << "$args\") || exit 1\n"
          << "echo \"${id%%;*}\"\n";
    }, true);
    WriteFile(evaluator, [&](std::ostream& out) {
      out << "#!/bin/sh\n# irace's target evaluator in Slurm batch mode: the cost the run's job wrote.\n"
          << "run=\"c$1-$2-$3\"\n"
          << "if [ ! -s \"$run.cost\" ]; then echo \"$run: the Slurm job wrote no cost\"; cat \"$run.err\"; exit 1; fi\n"
          << "tail -n 1 \"$run.cost\"\n";
    }, true);
  }
  WriteFile(ScenarioPath(setup), [&](std::ostream& out) {
    out << "## Written by mirelock tune; irace --scenario on this file replays the tuning.\n"
        << "parameterFile = " << RQuoted(parameters) << "\n"
        << "execDir = " << RQuoted(setup.directory) << "\n"
        << "trainInstancesDir = \"\"\n"
        << "trainInstancesFile = " << RQuoted(instances) << "\n"
        << "targetRunner = " << RQuoted(runner) << "\n"
        << "maxExperiments = " << setup.budget << "\n"
        << "seed = " << setup.seed << "\n"
        << "parallel = " << setup.jobs << "\n"
        << "logFile = " << RQuoted(LogPath(setup)) << "\n";
    if (setup.slurm)
      out << "batchmode = \"slurm\"\n"
          << "targetEvaluator = " << RQuoted(evaluator) << "\n";
  });
  WriteFile(Join(setup.directory, "summary.R"), [](std::ostream& out) { out << kSummaryScript; });
}

std::vector<std::string> IraceCommand(const IraceSetup& setup) {
  return {"Rscript", "--vanilla", "-e", "library(irace); irace.cmdline()", "--scenario", ScenarioPath(setup)};
}

bool IraceProgress::Read(const std::string& line) {
  static const std::regex iteration(R"(: Iteration (\d+) of (\d+)\s*$)");
  static const std::regex used(R"(^# experimentsUsedSoFar: (\d+))");
  static const std::regex row(R"(^\|.\|\s*\d+\|\s*\d+\|\s*\d+\|[^|]*\|\s*(\d+)\|)");
  static const std::regex best(R"(^Best-so-far configuration:\s+(\d+)\s+mean value:\s+(\S+))");
  const std::string before = Text();
  std::smatch match;
  if (descriptionLines_ > 0) {
    // irace prints the best setting as a small table: names, then the row
    // name, the id and the values; .ID., .PARENT. and unset (NA) values are left out.
    std::istringstream words(line);
    std::vector<std::string> items;
    for (std::string word; words >> word;) items.push_back(word);
    if (--descriptionLines_ == 1) {
      descriptionNames_ = items;
    } else if (items.size() == descriptionNames_.size() + 1) {
      bestSettings_.clear();
      for (std::size_t i = 0; i < descriptionNames_.size(); ++i) {
        const std::string& name = descriptionNames_[i];
        const std::string& value = items[i + 1];
        if (name.front() == '.' || value == "NA") continue;
        bestSettings_.append(bestSettings_.empty() ? "" : " ").append(name + "=" + value);
      }
    }
  } else if (line.rfind("Description of the best-so-far configuration:", 0) == 0) {
    descriptionLines_ = 2;
  } else if (std::regex_search(line, match, iteration)) {
    iteration_ = static_cast<unsigned>(std::stoul(match[1]));
    iterations_ = static_cast<unsigned>(std::stoul(match[2]));
  } else if (std::regex_search(line, match, used)) {
    runsAtIterationStart_ = runsDone_ = std::stoull(match[1]);
  } else if (std::regex_search(line, match, row)) {
    runsDone_ = runsAtIterationStart_ + std::stoull(match[1]);
  } else if (std::regex_search(line, match, best)) {
    best_ = "setting " + match[1].str() + " (mean cost " + match[2].str() + ")";
  }
  return Text() != before;
}

std::string IraceProgress::Text() const {
  if (iteration_ == 0) return "tune: irace is starting";
  std::string text = "tune: iteration " + std::to_string(iteration_) + " of " + std::to_string(iterations_) + ", " +
                     std::to_string(runsDone_) + " of " + std::to_string(budget_) + " runs";
  if (!best_.empty()) text += ", best so far: " + best_;
  if (!bestSettings_.empty()) text += " " + bestSettings_;
  return text;
}

TuningSummary ParseTuningSummary(const std::string& output) {
  TuningSummary summary;
  std::stringstream in(output);
  std::string line;
  bool total = false;
  try {
    while (std::getline(in, line)) {
      const std::vector<std::string> f = Fields(line);
      if (f.empty()) continue;
      if (f[0] == "total" && f.size() == 3) {
        summary.settingsTried = std::stoul(f[1]);
        summary.runs = std::stoul(f[2]);
        total = true;
      } else if (f[0] == "iteration" && f.size() == 6) {
        summary.iterations.push_back({static_cast<unsigned>(std::stoul(f[1])), std::stoul(f[2]), std::stoul(f[3]),
                                      std::stoul(f[4]), std::stol(f[5])});
      } else if (f[0] == "elite" && f.size() == 6) {
        EliteSummary elite;
        elite.id = std::stol(f[1]);
        elite.meanRank = Number(f[2]);
        elite.meanCost = Number(f[3]);
        elite.instances = std::stoul(f[4]);
        std::stringstream words(f[5]);
        std::string name, value;
        while (words >> name) {
          if (!(words >> value)) throw std::invalid_argument(name);
          elite.settings.emplace_back(name, value);
        }
        summary.elites.push_back(std::move(elite));
      }
    }
  } catch (const std::logic_error&) {
    throw std::runtime_error("irace's log gives an unreadable summary line: " + line);
  }
  if (!total || summary.elites.empty()) throw std::runtime_error("irace's log names no elite settings");
  return summary;
}

TuningSummary ReadTuningSummary(const IraceSetup& setup) {
  const ProgramOutput result =
      RunProgram({"Rscript", "--vanilla", Join(setup.directory, "summary.R"), LogPath(setup)}, setup.directory);
  if (result.status != 0)
    throw std::runtime_error("Cannot read irace's log " + LogPath(setup) + ":\n" + result.output);
  return ParseTuningSummary(result.output);
}

}  // namespace mirelock::tune
