// What the table benchmarks share when they time the engine against SQLite.
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A benchmark whose SQLite side failed measures nothing: it stops at once.
inline void check(int rc, sqlite3* db) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

}  // namespace bench
