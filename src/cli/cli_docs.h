#pragma once

// The manual page and the bash completion of tallyleaf-cli, written from the
// same declaration of the command line that --help prints, so that neither
// can drift from the tool. The build runs tl_cli_docs to make both.

#include <string>
#include <string_view>
#include <vector>

namespace tl::cli {

// One example of the manual page: the words after "tallyleaf-cli" and what
// they do. The tests parse every example with the real command line.
struct Example {
    std::vector<std::string_view> args;
    std::string_view what;
};
const std::vector<Example>& ManPageExamples();

// The page in man(7) roff; version goes into its footer.
std::string ManPage(std::string_view version);

// A bash completion script: subcommands, options and option choices; other
// words fall back to file names.
std::string BashCompletion();

}  // namespace tl::cli
