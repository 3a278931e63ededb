#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "BatchBench.h"
#include "platform/Random.h"
#include "runner/BatchPartition.h"
#include "runner/PairQueue.h"

namespace mirelock {
namespace {

std::vector<std::string> Problems(int count) { return test::Names(count, ""); }

// Every ticket of a queue, in the order handed out, as "problem/experiment".
std::vector<std::string> Drain(PairQueue&& queue, bool random) {
  std::vector<std::string> order;
  while (auto ticket = queue.Next(random)) {
    order.push_back(ticket->problem + "/" + std::to_string(ticket->experiment));
    queue.Done(*ticket);
  }
  EXPECT_FALSE(queue.Next(random).has_value());
  return order;
}

TEST(PairQueueTest, ShardsSplitThePairsByIndexAndKeepTheOrderOfTheWholeBatch) {
  EXPECT_EQ(Drain(PairQueue(Problems(2), 3, {}), false),
            (std::vector<std::string>{"p0/0", "p0/1", "p0/2", "p1/0", "p1/1", "p1/2"}));
  for (bool random : {false, true}) {
    const auto all = Drain(PairQueue(Problems(7), 3, {}), random);
    for (unsigned n : {1u, 2u, 3u, 5u, 25u}) {  // 25: some shards hold no pair at all
      std::multiset<std::string> covered;
      for (unsigned k = 0; k < n; ++k) {
        PairQueue shard(Problems(7), 3, test::Jobs(1, k, n));
        const std::size_t problemCount = shard.ProblemCount();
        const auto mine = Drain(std::move(shard), random);
        // A shard takes its pairs in the order the whole batch takes them.
        std::vector<std::string> expected;
        std::set<std::string> problems;
        for (const auto& pair : all) {
          const int problem = std::stoi(pair.substr(1, pair.find('/') - 1));
          const int experiment = std::stoi(pair.substr(pair.find('/') + 1));
          if ((problem * 3 + experiment) % static_cast<int>(n) != static_cast<int>(k)) continue;
          expected.push_back(pair);
          problems.insert(pair.substr(0, pair.find('/')));
        }
        EXPECT_EQ(mine, expected) << k << "/" << n;
        EXPECT_EQ(problemCount, problems.size()) << k << "/" << n;
        covered.insert(mine.begin(), mine.end());
      }
      EXPECT_EQ(covered, std::multiset<std::string>(all.begin(), all.end())) << n;
    }
  }
}

TEST(PairQueueTest, RandomOrderIsAPermutationDrawnWithoutTouchingTheCallersGenerator) {
  SetRandomState(12345);
  const auto order = Drain(PairQueue(Problems(10), 1, {}), true);
  EXPECT_EQ(GetRandomState(), 12345u);
  EXPECT_EQ(std::set<std::string>(order.begin(), order.end()).size(), 10u);
  EXPECT_NE(order, Drain(PairQueue(Problems(10), 1, {}), false));
  // The first draw is what a fresh thread's generator gives first, r mod n.
  SetRandomState(1);
  EXPECT_EQ(order.front(), "p" + std::to_string(Random() % 10) + "/0");
  // The same again in any thread state.
  SetRandomState(99);
  EXPECT_EQ(Drain(PairQueue(Problems(10), 1, {}), true), order);
}

TEST(PairQueueTest, AProblemIsDoneWhenItsLastHandedOutPairIs) {
  PairQueue queue(Problems(2), 2, {});
  auto a = queue.Next(false), b = queue.Next(false), c = queue.Next(false);
  ASSERT_TRUE(a && b && c);
  EXPECT_TRUE(a->startsProblem);
  EXPECT_FALSE(b->startsProblem);
  EXPECT_TRUE(c->startsProblem);
  EXPECT_FALSE(queue.Done(*b));  // out of order: the problem waits for a
  EXPECT_FALSE(queue.Done(*c));
  EXPECT_TRUE(queue.Done(*a));
}

TEST(BatchPartitionTest, ParsesShardsAndJobsAndRefusesEverythingElseWithAReason) {
  BatchPartition partition;
  ParseShard("2/5", partition);
  EXPECT_EQ(partition.shardIndex, 2u);
  EXPECT_EQ(partition.shardCount, 5u);
  ParseShard("0/1", partition);
  EXPECT_TRUE(partition.IsValid());
  EXPECT_EQ(ParseJobs("1"), 1u);
  EXPECT_EQ(ParseJobs("16"), 16u);
  for (const char* bad : {"3/2", "2/2", "0/0", "1", "/", "1/", "/2", "-1/2", "1/-2", "a/b", "1/2/3", " 1/2",
                          "1.0/2", "", "99999999999/1"}) {
    BatchPartition untouched;
    EXPECT_THROW(ParseShard(bad, untouched), std::invalid_argument) << bad;
    EXPECT_EQ(untouched.shardCount, 1u) << bad;
  }
  try {
    ParseShard("3/2", partition);
    ADD_FAILURE() << "3/2 accepted";
  } catch (const std::invalid_argument& e) {
    EXPECT_NE(std::string(e.what()).find("below N"), std::string::npos) << e.what();
  }
  for (const char* bad : {"0", "-1", "", "two", "1.5", "100000", " 2"})
    EXPECT_THROW(ParseJobs(bad), std::invalid_argument) << bad;
}

}  // namespace
}  // namespace mirelock
