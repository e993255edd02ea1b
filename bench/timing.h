#pragma once

// Timing of the benchmark programs that print their figures, and their
// common command line.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tl::bench {

using Clock = std::chrono::steady_clock;

double Millis(Clock::duration d);

// Times in milliseconds, printed as median, 95th percentile and maximum.
struct Figures {
    std::vector<double> ms;
    void add(double value) { ms.push_back(value); }
    // REQUIRES: at least one time.
    double median();
    // "what  median ... p95 ... max ... (n runs)"; nothing when empty.
    void print(const char* what, int width = 34);
};

// "[--data FILE] [--runs N]": the diary to work on (default given) and how
// many runs, at least minRuns. nullopt after printing the usage.
struct RunOptions {
    std::string data;
    int runs = 0;
};
std::optional<RunOptions> ParseRunOptions(int argc, char** argv, std::string data, int runs,
                                          int minRuns);

}  // namespace tl::bench
