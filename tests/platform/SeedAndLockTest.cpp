#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <thread>

#include "common/TempDir.h"
#include "platform/Clock.h"
#include "platform/DocumentLock.h"

namespace mirelock {
namespace {

// Solvers seed run r with seed * r (modulo 2^32). The bare time gave seed 0,
// and so the same lines, for every run whenever time() was a multiple of 2^32.
TEST(Clock, ATimeSeedGivesEveryRunADifferentNonzeroSeed) {
  for (const std::uint64_t seconds : {0ull, 1ull << 32, 3ull << 32, (1ull << 31) + (1ull << 32), 1765000000ull}) {
    const std::uint32_t seed = SeedFromSeconds(seconds);
    std::set<std::uint32_t> runSeeds;
    for (std::uint32_t run = 1; run <= 1000; ++run) {
      const std::uint32_t runSeed = seed * run;
      EXPECT_NE(runSeed, 0u) << seconds << " run " << run;
      runSeeds.insert(runSeed);
    }
    EXPECT_EQ(runSeeds.size(), 1000u) << seconds;
  }
  // Batches started a second apart still differ.
  EXPECT_NE(SeedFromSeconds(1765000000), SeedFromSeconds(1765000001));
}

// The edit lock keeps another process out until it is released; inside one
// process a nested edit (the save within a command's edit) does not wait for
// itself. The run lock is held by one process at a time and leaves edits alone.
TEST(DocumentLock, EditsOfTwoProcessesTakeTurnsAndTheRunLockIsOnlyOnes) {
  test::TempDir dir;
  const std::string doc = dir.Path("batch.mirel");
  int toChild[2], fromChild[2];
  ASSERT_EQ(::pipe(toChild), 0);
  ASSERT_EQ(::pipe(fromChild), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Takes both locks, says so, and holds them until told to end.
    const DocumentLock edit = DocumentLock::ForEdit(doc);
    const auto run = DocumentLock::TryForRun(doc);
    char c = run ? 'y' : 'n';
    (void)!::write(fromChild[1], &c, 1);
    (void)!::read(toChild[0], &c, 1);
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(fromChild[0], &c, 1), 1);
  EXPECT_EQ(c, 'y');
  EXPECT_FALSE(DocumentLock::TryForRun(doc).has_value());

  // An edit waits for the child's; release it a little later.
  const auto start = std::chrono::steady_clock::now();
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    (void)!::write(toChild[1], "x", 1);
  });
  {
    const DocumentLock edit = DocumentLock::ForEdit(doc);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
    const DocumentLock nested = DocumentLock::ForEdit(doc);  // at once
    EXPECT_TRUE(DocumentLock::TryForRun(doc).has_value());   // the child is gone
  }
  release.join();
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(DocumentLock::LockPath(doc), doc + ".lock");
}

}  // namespace
}  // namespace mirelock
