// GLSSAT settings that used to run far past their budget or for ever, through
// `mirelock solve` and inside a batch: every run ends, every file is complete.
#include <algorithm>

#include "CliTest.h"

namespace mirelock::test {
namespace {

class SatTermination : public CliTest {};

TEST_F(SatTermination, SettingsThatUsedToRunOnEndEveryRunInSolveAndInABatch) {
  // Every move random; and a decay that takes back every penalty at once.
  const std::string randomMoves = "--random-moves 1 --runs 3 --max-repairs 40";
  const std::string decayCycle =
      "--lambda 0.3 --decay-every 1 --decay-factor 0 --sideways 0 --runs 3 --max-repairs 4294967295 --times-n off";
  const std::string problem = std::string(MIRELOCK_TEST_DATA) + "/sat/uuf50-01.cnf";
  Batch batch = MakeBatch("sat", "sat", 0, "", problem);
  Mirelock("exp add '" + batch.doc + "' " + randomMoves);
  Mirelock("exp add '" + batch.doc + "' " + decayCycle);
  Mirelock("run '" + batch.doc + "'");
  const auto files = batch.Files();
  ASSERT_EQ(files.size(), 2u);
  for (const auto& [name, text] : files) EXPECT_EQ(Split(text).size(), 4u) << name;

  for (const std::string& settings : {randomMoves, decayCycle}) {
    const auto solved = Run("solve '" + problem + "' " + settings);
    ASSERT_EQ(solved.status, 0) << settings;
    const auto lines = Split(solved.out);
    ASSERT_EQ(lines.size(), 4u) << settings;
    if (settings != randomMoves) continue;
    // The visited series holds the start and every repair: exactly 40 x 50 repairs.
    const auto header = Split(lines[0], '\t');
    const auto visited = std::find(header.begin(), header.end(), "#Visited_Solution") - header.begin();
    for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(Split(lines[i], '\t').at(visited), "2001") << lines[i];
  }
}

}  // namespace
}  // namespace mirelock::test
