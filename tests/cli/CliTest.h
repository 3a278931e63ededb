#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "BatchFiles.h"
#include "common/TempDir.h"

namespace mirelock::test {

namespace fs = std::filesystem;

// A test with a fresh folder root_ of its own, in which it runs mirelock.
class CliTest : public ::testing::Test {
 protected:
  CommandResult Run(const std::string& arguments) { return RunMirelock(root_.string(), arguments); }
  // Runs mirelock; a failure fails the current test.
  void Mirelock(const std::string& arguments) { test::Mirelock(root_, arguments); }
  Batch MakeBatch(const std::string& name, const std::string& type, int experiments, const std::string& effort,
                  const fs::path& problems = {}) {
    return test::MakeBatch(root_, name, type, experiments, effort, problems);
  }

  void ExpectIn(const std::string& text, const std::string& part) {
    EXPECT_NE(text.find(part), std::string::npos) << part << " not in:\n" << text;
  }

  TempDir temp_;
  const fs::path root_ = fs::path(temp_.Path()).parent_path();
};

}  // namespace mirelock::test
