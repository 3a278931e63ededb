#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace mirelock::analysis {

// The number of variables that the header line "p cnf V C" of a DIMACS CNF
// file declares (the count the solver sizes its repair limit by). Reads no
// further than the header, and at most 1 MiB of comments before it; none for
// a file that is not a regular file, cannot be read or has no such header.
std::optional<std::uint64_t> CnfDeclaredVariables(const std::string& path);

}  // namespace mirelock::analysis
