#pragma once

// A target's own checking code, left out of the coverage so that the fuzzer's time goes to the
// code under test (clang's fuzzer builds; GCC builds only replay the corpus).
#if defined(__clang__)
#define TERVANE_FUZZ_NO_COVERAGE __attribute__((no_sanitize("coverage")))
#else
#define TERVANE_FUZZ_NO_COVERAGE
#endif

namespace tervane::fuzz {

// Stops the run where the fuzzer sees it, with the input that broke the check.
inline void Check(bool condition) {
    if (!condition)
        __builtin_trap();
}

} // namespace tervane::fuzz
