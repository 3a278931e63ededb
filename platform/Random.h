#pragma once
#include <cstdint>

namespace mirelock {

// The runtime library's linear congruential generator, with its state kept per
// thread: every thread starts at state 1, exactly as the C runtime does. Solvers
// reseed it at the start of each run, so results follow the seed alone.
inline thread_local std::uint32_t tlsRandomState = 1;

inline void SeedRandom(std::uint32_t seed) { tlsRandomState = seed; }

// Next value in 0..32767.
inline int Random() {
  tlsRandomState = tlsRandomState * 214013u + 2531011u;
  return static_cast<int>((tlsRandomState >> 16) & 0x7fffu);
}

inline constexpr int kRandomMax = 32767;

// The whole generator state, for code that must save and restore it.
inline std::uint32_t GetRandomState() { return tlsRandomState; }
inline void SetRandomState(std::uint32_t state) { tlsRandomState = state; }

}  // namespace mirelock
