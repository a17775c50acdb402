#pragma once

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

} // namespace qvr::test
