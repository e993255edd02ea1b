#pragma once

// Runs the real tallyleaf-cli as a separate process, for the tool's tests.

#include <filesystem>
#include <string>

namespace tl::cli {

struct CliResult {
    int code = -1;
    std::string out, err;
};

// Runs the tool with args (shell words, already quoted) in a private home:
// HOME, XDG_DATA_HOME and XDG_CONFIG_HOME inside scratch, so the user's own
// settings and diary are never touched. Standard input is empty; the
// outputs go through files in scratch.
CliResult RunCli(const std::string& args, const std::filesystem::path& scratch,
                 const std::filesystem::path& workFolder = {});

std::string Slurp(const std::filesystem::path& path);

}  // namespace tl::cli
