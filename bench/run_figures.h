#pragma once

// What the programs that time windows and tables share: milliseconds of a
// steady clock, a set of timings printed as median, 95th percentile and
// maximum, and the usual "--data FILE --runs N" arguments.

#include <chrono>
#include <string>
#include <vector>

namespace tl::bench {

using Clock = std::chrono::steady_clock;

double Millis(Clock::duration d);

struct Figures {
    std::vector<double> ms;
    void add(double value) { ms.push_back(value); }
    // "what  median ... p95 ... max ... (n runs)"; nothing when empty.
    void print(const char* what) const;
};

// Reads [--data FILE] [--runs N] (N at least minRuns). False, with the
// usage printed, on anything else.
bool ParseDataAndRuns(int argc, char** argv, std::string& data, int& runs, int minRuns = 1);

}  // namespace tl::bench
