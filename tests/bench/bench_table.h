// Rows of the benchmark table that scripts/bench prints (Markdown, so the
// README can show it as it is).
#pragma once

#include <cstdio>
#include <sys/resource.h>

// "| what | measured | target | ok |"; false when the target is missed.
inline bool benchRow(const char* what, double value, const char* unit, double target) {
    const bool ok = value < target;
    std::printf("| %-46s | %9.3f %-3s | < %g %s | %s |\n", what, value, unit, target, unit, ok ? "ok" : "MISSED");
    return ok;
}

// Peak resident memory of this process so far.
inline void memoryRow(const char* what) {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    std::printf("| %-46s | %9.1f MiB |  |  |\n", what, static_cast<double>(u.ru_maxrss) / 1024.0);
}
