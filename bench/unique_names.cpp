// The processor time of making unique names: each call waits for the clock to reach the
// next hundredth of a second, and should sleep through that wait, not spin.
//   unique_names [calls]    (default 300)
// Prints the calls, the time they took, the processor time they used and the share.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "kelv/win32api/names.h"

int main(int argc, char** argv) {
    int calls = argc > 1 ? std::atoi(argv[1]) : 300;
    auto start = std::chrono::steady_clock::now();
    std::clock_t cpu_start = std::clock();
    for (int i = 0; i < calls; ++i) kelv::GETNEWFNAME();
    double cpu = static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d unique names in %.3f s, processor %.3f s (%.1f %%)\n", calls, wall, cpu,
                wall > 0 ? 100 * cpu / wall : 0.0);
    return 0;
}
