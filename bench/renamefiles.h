#pragma once

// What the renaming benchmarks share: a wall clock in seconds and the names of their files.

#include <chrono>
#include <cstdio>
#include <string>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// IMG_000042.JPG and the like: one folder's worth of camera names.
inline std::string name(int i, const char* ext) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "IMG_%06d.%s", i, ext);
    return buf;
}

} // namespace bench
