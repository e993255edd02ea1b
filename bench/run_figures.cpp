#include "run_figures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tl::bench {

double Millis(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void Figures::print(const char* what) const {
    if (ms.empty()) return;
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    std::printf("%-40s median %8.2f ms  p95 %8.2f ms  max %8.2f ms  (%zu runs)\n", what,
                sorted[sorted.size() / 2], sorted[sorted.size() * 95 / 100], sorted.back(),
                sorted.size());
}

bool ParseDataAndRuns(int argc, char** argv, std::string& data, int& runs, int minRuns) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--data") && i + 1 < argc) {
            data = argv[++i];
        } else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) {
            runs = std::max(minRuns, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: %s [--data FILE] [--runs N]\n", argv[0]);
            return false;
        }
    }
    return true;
}

}  // namespace tl::bench
