#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace qvr::test {

// Stress tests run a short variant by default and the full one when
// QVR_LONG_TESTS=1, so the everyday test run stays fast.
inline bool longTestsWanted() {
    const char* value = std::getenv("QVR_LONG_TESTS");
    return value != nullptr && std::string_view(value) == "1";
}

inline int stressCount(int shortCount, int longCount) {
    return longTestsWanted() ? longCount : shortCount;
}

// QVR_FIRST_SEQUENCE=N starts a model run at sequence N, to replay the one a
// failure names without the ones before it.
inline int firstSequence() {
    const char* value = std::getenv("QVR_FIRST_SEQUENCE");
    return value != nullptr ? std::max(0, std::atoi(value)) : 0;
}

// A long run says how far it got, so one cut short still tells.
inline void reportProgress(unsigned done) {
    if (!longTestsWanted() || done == 0 || done % 100 != 0)
        return;
    std::printf("%u sequences passed\n", done);
    std::fflush(stdout);
}

} // namespace qvr::test
