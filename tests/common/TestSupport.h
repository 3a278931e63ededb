#pragma once
#include <cstdlib>
#include <string>

namespace mirelock::test {

// Small instances bundled with the tests.
inline std::string TestData(const std::string& name) { return std::string(MIRELOCK_TEST_DATA) + "/" + name; }

// Sanitizer builds run the same tests, but long searches over many instances
// are skipped there: they check search quality, not memory or thread safety.
inline bool IsSanitizerBuild() { return std::getenv("MIRELOCK_SANITIZER_BUILD") != nullptr; }

}  // namespace mirelock::test
