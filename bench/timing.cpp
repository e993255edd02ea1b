#include "timing.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tl::bench {

double Millis(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Figures::median() {
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void Figures::print(const char* what, int width) {
    if (ms.empty()) return;
    std::sort(ms.begin(), ms.end());
    std::printf("%-*s median %7.2f ms  p95 %7.2f ms  max %7.2f ms  (%zu runs)\n", width, what,
                ms[ms.size() / 2], ms[ms.size() * 95 / 100], ms.back(), ms.size());
}

std::optional<RunOptions> ParseRunOptions(int argc, char** argv, std::string data, int runs,
                                          int minRuns) {
    RunOptions options{std::move(data), runs};
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--data") && i + 1 < argc) {
            options.data = argv[++i];
        } else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) {
            options.runs = std::max(minRuns, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: %s [--data FILE] [--runs N]\n", argv[0]);
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace tl::bench
