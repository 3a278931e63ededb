// GLSSAT settings that used to run far past their budget or for ever, through
// `mirelock solve` and inside a batch: every run ends, every file is complete.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace mirelock {
namespace {

namespace fs = std::filesystem;

struct Result {
  int status = -1;
  std::vector<std::string> lines;
};

// Runs mirelock under a time limit: a hang fails the test instead of stalling it.
Result RunCommand(const fs::path& directory, const std::string& arguments) {
  const std::string out = (directory / ".out").string();
  const std::string command = "cd '" + directory.string() + "' && timeout 120 '" MIRELOCK_BINARY "' " +
                              arguments + " >'" + out + "' 2>/dev/null";
  const int raw = std::system(command.c_str());
  Result result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::ifstream in(out);
  for (std::string line; std::getline(in, line);) result.lines.push_back(line);
  return result;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  return fields;
}

std::size_t Column(const std::string& header, const std::string& name) {
  const auto fields = Fields(header);
  return static_cast<std::size_t>(std::find(fields.begin(), fields.end(), name) - fields.begin());
}

// Every move random, and a decay that takes back every penalty at once.
const std::string kRandomMoves = "--random-moves 1 --runs 3 --max-repairs 40";
const std::string kDecayCycle =
    "--lambda 0.3 --decay-every 1 --decay-factor 0 --sideways 0 --runs 3 --max-repairs 4294967295 --times-n off";

class SatTermination : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("mirelock-sat-end-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "problems");
    fs::create_directories(dir_ / "results");
    fs::copy_file(std::string(MIRELOCK_TEST_DATA) + "/sat/uuf50-01.cnf", dir_ / "problems/uuf50-01.cnf");
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(SatTermination, SolveEndsEveryRun) {
  const Result random = RunCommand(dir_, "solve problems/uuf50-01.cnf " + kRandomMoves);
  ASSERT_EQ(random.status, 0);
  ASSERT_EQ(random.lines.size(), 4u);
  // The visited series holds the start and every repair: exactly 40 x 50 repairs.
  const std::size_t visited = Column(random.lines[0], "#Visited_Solution");
  for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(Fields(random.lines[i]).at(visited), "2001");

  const Result cycle = RunCommand(dir_, "solve problems/uuf50-01.cnf " + kDecayCycle);
  ASSERT_EQ(cycle.status, 0);
  EXPECT_EQ(cycle.lines.size(), 4u);
}

TEST_F(SatTermination, ABatchWithBothSettingsFinishesWithCompleteFiles) {
  const std::string doc = "batch.mirel";
  ASSERT_EQ(RunCommand(dir_, "doc new " + doc + " --force --type sat --problems problems --results results "
                      "--full full.csv --summary summary.csv --seed-mode fixed --seed 21")
                .status,
            0);
  ASSERT_EQ(RunCommand(dir_, "exp add " + doc + " " + kRandomMoves).status, 0);
  ASSERT_EQ(RunCommand(dir_, "exp add " + doc + " " + kDecayCycle).status, 0);
  ASSERT_EQ(RunCommand(dir_, "run " + doc).status, 0);
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir_ / "results")) {
    std::ifstream in(entry.path());
    int lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    EXPECT_EQ(lines, 4) << entry.path();
    ++files;
  }
  EXPECT_EQ(files, 2);
}

}  // namespace
}  // namespace mirelock
