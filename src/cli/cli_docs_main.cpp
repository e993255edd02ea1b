// tl_cli_docs man|bash-completion OUTPUT VERSION: writes the manual page or
// the bash completion of tallyleaf-cli (run by the build, not installed).

#include <fstream>
#include <iostream>
#include <string>

#include "cli_docs.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: tl_cli_docs man|bash-completion OUTPUT VERSION\n";
        return 2;
    }
    const std::string what = argv[1];
    std::string text;
    if (what == "man")
        text = tl::cli::ManPage(argv[3]);
    else if (what == "bash-completion")
        text = tl::cli::BashCompletion();
    else {
        std::cerr << "tl_cli_docs: unknown output '" << what << "'\n";
        return 2;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "tl_cli_docs: cannot write '" << argv[2] << "'\n";
        return 1;
    }
    return 0;
}
