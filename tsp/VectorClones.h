#pragma once

// Hot loops get an AVX2 version beside the baseline one, chosen when the
// program loads (GCC function multiversioning), so the build stays portable.
// Sanitizer builds keep the baseline only: the loader calls the version
// resolver before the sanitizer runtime is set up, which crashes under TSan.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
#define MIRELOCK_VECTOR_CLONES
#else
#define MIRELOCK_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#endif
