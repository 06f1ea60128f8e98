#pragma once

namespace tervane::fuzz {

// Stops the run where the fuzzer sees it, with the input that broke the check.
inline void Check(bool condition) {
    if (!condition)
        __builtin_trap();
}

} // namespace tervane::fuzz
