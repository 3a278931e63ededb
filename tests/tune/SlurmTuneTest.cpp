// A tiny tuning through irace's Slurm batch mode on the one-host cluster that
// CTest starts for tests/slurm: every target run is a Slurm job, and the
// tuning ends as on one machine, its elites in the document.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "BatchFiles.h"
#include "TuneTestSupport.h"

namespace mirelock::test {
namespace {

namespace fs = std::filesystem;

TEST(SlurmTuning, EveryTargetRunIsASlurmJobAndTheElitesJoinTheDocument) {
  std::ifstream state(MIRELOCK_SLURM_STATE);
  std::string line;
  if (!std::getline(state, line))
    GTEST_SKIP() << "no Slurm cluster: ctest starts one with the test slurm_cluster_start";
  if (line.rfind("SKIP=", 0) == 0) GTEST_SKIP() << line.substr(5);
  SKIP_WITHOUT_IRACE();
  ASSERT_EQ(line.rfind("SLURM_CONF=", 0), 0u) << line;
  const fs::path conf = line.substr(11);
  ::setenv("SLURM_CONF", conf.c_str(), 1);
  // Inside the cluster's folder, so that stopping the cluster removes it.
  const fs::path dir = conf.parent_path() / "work" / "tune";
  fs::remove_all(dir);
  fs::create_directories(dir / "train");
  const fs::path qap = SourceDir() / "examples" / "qap";
  for (const char* name : {"nug12.dat", "tai12a.dat", "best.txt"}) fs::copy_file(qap / name, dir / "train" / name);
  auto run = [&](const std::string& arguments) { return RunMirelock(dir.string(), arguments); };
  ASSERT_EQ(run("doc new d.mirel --type qap --problems train").status, 0);
  ASSERT_EQ(run("exp add d.mirel --aspiration off --random-moves 0 --max-repairs 10 --runs 2").status, 0);
  // One parameter: irace's smallest race, 42 runs.
  std::ofstream(dir / "space.txt") << "lambda  \"--lambda \"  r,log  (0.01, 100)\n";

  const CommandResult tuned = run("tune d.mirel --space space.txt --budget 42 --jobs 8 --seed 3 --slurm --out out");
  ASSERT_EQ(tuned.status, 0) << tuned.err << tuned.out;
  EXPECT_NE(tuned.out.find("runs as Slurm jobs"), std::string::npos) << tuned.out;
  std::size_t costs = 0;
  for (const auto& entry : fs::directory_iterator(dir / "out" / "irace"))
    if (entry.path().extension() == ".cost") ++costs;
  EXPECT_GE(costs, 30u) << "the runs did not go through Slurm";
  EXPECT_NE(run("exp list d.mirel").out.find("\n1 "), std::string::npos) << "no elite was added";
}

}  // namespace
}  // namespace mirelock::test
