// Every accepted setting ends every run within its repair limit, and a lambda
// whose products cannot be held is refused before the run starts.
#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "platform/FatalError.h"
#include "qap/QAPSearch.h"
#include "qap/QAPTestHelpers.h"

namespace mirelock {
namespace {

using test::Experiment;

// Symmetric, general and block instances of 3 to 5 items (3 is the smallest
// that random moves of the first two types can be drawn on).
const char* const kTinyInstances[] = {
    "5\n0 3 1 4 1\n3 0 5 9 2\n1 5 0 6 5\n4 9 6 0 3\n1 2 5 3 0\n"
    "0 2 7 1 8\n2 0 2 8 1\n7 2 0 8 2\n1 8 8 0 8\n8 1 2 8 0\n",
    "3\n1 2 0\n5 0 3\n0 4 2\n0 1 6\n2 0 3\n5 1 0\n",
    "4\n1 1 0 0\n1 1 0 0\n0 0 0 0\n0 0 0 0\n0 5 2 7\n5 0 4 1\n2 4 0 3\n7 1 3 0\n",
};

TEST(QAPTermination, ExtremeSettingsEndWithinTheRepairLimit) {
  int runs = 0;
  for (const char* text : kTinyInstances) {
    for (double random : {0.0, 1.0})
      for (int sideways : {0, 1, 1000})
        for (int decay : {0, 1, 2})
          for (double lambda : {0.0, 1e-9, 1.0, 1000.0})
            for (int pick = 0; pick < 4; ++pick)
              for (unsigned limit : {0u, 7u, 50u}) {
                Experiment e;
                e.runs = 2, e.randomMoves = random, e.sideways = sideways, e.lambda = lambda;
                e.decayEvery = decay == 0 ? 0 : 1, e.decayFactor = decay == 1 ? 0.0 : 0.01;
                e.aspiration = pick & 1, e.history = pick & 2;
                e.perN = limit == 50, e.maxRepairs = limit;
                QAPSolver solver;
                std::istringstream in(text);
                solver.Problem().Read(in);
                test::Apply(solver.GetParameters(), e);
                auto done = std::async(std::launch::async, [&] {
                  for (unsigned run = 0; run < e.runs; ++run) {
                    solver.Solve();
                    ++runs;
                    if (solver.Stats().Repairs() > solver.Parameters().maxRepairs) return false;
                  }
                  return true;
                });
                // A run that does not end would hold the test for ever: stop it and fail.
                if (done.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
                  solver.Stop();
                  ADD_FAILURE() << "a run did not end: " << text << " random " << random << " sideways "
                                << sideways << " decay " << decay << " lambda " << lambda << " pick " << pick;
                }
                ASSERT_TRUE(done.get()) << "repairs beyond the limit " << limit;
              }
  }
  EXPECT_EQ(runs, 3 * 2 * 3 * 3 * 4 * 4 * 3 * 2);
}

// Lambda times the largest penalties must stay within 64 bits: a lambda
// coefficient of 1e12 is refused with a message naming the usable largest,
// and that largest, with every present feature penalised to the cap, keeps
// every augmented value exact (the sanitizer build checks for overflow).
TEST(QAPTermination, LambdaBeyondTheAugmentedRangeIsRefusedAtTheStart) {
  QAPSolver refused;
  test::ReadProblem(refused.Problem(), test::TestData("qap/nug12.dat"));
  refused.GetParameters().SetLambda(1e12);
  std::string message;
  try {
    refused.Solve();
  } catch (const FatalError& e) {
    message = e.Text();
  }
  const std::string largestText = "the largest usable coefficient is ";
  const std::size_t at = message.find(largestText);
  ASSERT_NE(at, std::string::npos) << message;
  EXPECT_EQ(message.rfind("Error: lambda coefficient 1e+12 gives a penalty weight of ", 0), 0u) << message;
  EXPECT_EQ(refused.Stats().Repairs(), 0u);
  const double largest = std::stod(message.substr(at + largestText.size())) * 0.999;

  for (bool wide : {false, true}) {
    QAPProblem problem = test::LoadProblem(test::TestData("qap/nug12.dat"));
    if (wide) problem.ForceWideArithmetic();
    QAPParameters parameters;
    parameters.SetLambda(largest);
    parameters.SetMaxRepairs(100);
    QAPStats stats;
    auto check = [&](auto& search) {
      search.BeginRun(1);
      ASSERT_TRUE(search.Penalise());  // sets lambda and penalises by 100
      const auto cap = std::remove_reference_t<decltype(search)>::kPenaltyCap;
      for (int i = 0; i < 12; ++i) search.AddLabelPenalty(i, search.Perm()[i], cap - 100);
      ASSERT_EQ(search.Verify(), "");
      for (int move = 0; move < 20; ++move) {
        const Swap swap = search.RandomSwap();
        search.MakeMove(swap.r, swap.s);
      }
      ASSERT_EQ(search.Verify(), "");
    };
    if (wide) {
      QAPSearch<std::int64_t> search(problem, parameters, stats, nullptr);
      check(search);
    } else {
      QAPSearch<std::int32_t> search(problem, parameters, stats, nullptr);
      check(search);
    }
  }
}

}  // namespace
}  // namespace mirelock
