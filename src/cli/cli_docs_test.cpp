// The manual page and the bash completion against the real command line.

#include "cli_docs.h"

#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "cli.h"
#include "cli_runner.h"
#include "support/temp_dir.h"

namespace tl::cli {
namespace {

std::string Escaped(std::string_view text) {
    std::string out;
    for (char c : text) out += c == '-' ? std::string("\\-") : std::string(1, c);
    return out;
}

// Runs a shell command line and returns its standard output; stderr joins
// it when asked.
std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

TEST(CliDocsTest, EveryExampleParsesWithTheRealCommandLine) {
    for (const Example& e : ManPageExamples()) {
        Context ctx;
        CLI::App app{kToolDescription, kToolName};
        const std::vector<DeclaredCommand> declared = DeclareCommandLine(app, ctx);
        std::vector<std::string> args(e.args.rbegin(), e.args.rend());  // CLI11 pops from the back
        std::string words;
        for (std::string_view a : e.args) words += std::string(a) + ' ';
        EXPECT_NO_THROW(app.parse(args)) << words;
        EXPECT_EQ(std::count_if(declared.begin(), declared.end(),
                                [](const DeclaredCommand& c) { return c.sub->parsed(); }),
                  1)
            << words;
    }
}

TEST(CliDocsTest, ManPageDescribesEveryCommandOptionAndExitCode) {
    const std::string page = ManPage("9.9");
    EXPECT_NE(page.find(".TH TALLYLEAF\\-CLI 1 \"\" \"Tally Leaf 9.9\""), std::string::npos);
    Context ctx;
    CLI::App app{kToolDescription, kToolName};
    for (const DeclaredCommand& c : DeclareCommandLine(app, ctx)) {
        const std::string name = c.sub->get_name();
        EXPECT_NE(page.find(".SS \"" + Escaped(name) + " [options]"), std::string::npos) << name;
        for (const CLI::Option* opt : c.sub->get_options()) {
            const std::string shown =
                opt->get_positional() ? opt->get_name() : "--" + opt->get_lnames().front();
            EXPECT_NE(page.find(Escaped(shown)), std::string::npos) << name << ' ' << shown;
            EXPECT_NE(page.find(Escaped(opt->get_description().substr(1))), std::string::npos)
                << shown;
        }
        for (const CLI::App* nested : c.sub->get_subcommands({})) {
            EXPECT_NE(page.find("\\fB" + nested->get_name() + "\\fR\n"), std::string::npos);
            EXPECT_NE(page.find(Escaped(nested->get_description().substr(1))), std::string::npos)
                << name << ' ' << nested->get_name();
        }
    }
    for (int code : {kExitOk, kExitFailure, kExitUsage})
        EXPECT_NE(page.find(".TP\n" + std::to_string(code) + "\n"), std::string::npos) << code;
    EXPECT_NE(page.find("Mrlwbk31.backup"), std::string::npos);
    EXPECT_NE(page.find("~/.local/share/Tally\\ Leaf/Mrlwbk31.dat"), std::string::npos);
    // Quoted words keep their spaces; no line starts with a stray control dot.
    EXPECT_NE(page.find("\\-\\-title \"Market day\""), std::string::npos);
}

TEST(CliDocsTest, ManPageFormatsWithoutWarnings) {
    if (Shell("command -v groff").empty()) GTEST_SKIP() << "groff is not installed";
    testing::TempDir dir;
    const auto path = dir / "tallyleaf-cli.1";
    std::ofstream(path) << ManPage("1.0");
    const std::string text = Shell("groff -man -Tutf8 -ww '" + path.string() + "' 2>&1 >/dev/null");
    EXPECT_EQ(text, "");
    const std::string rendered =
        Shell("groff -man -Tascii -P-cbou '" + path.string() + "' 2>/dev/null");
    EXPECT_NE(rendered.find("EXIT STATUS"), std::string::npos);
    EXPECT_NE(rendered.find("--text-file"), std::string::npos) << rendered.substr(0, 2000);
}

class BashCompletionTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    std::string script = (dir / "tallyleaf-cli.bash").string();
    void SetUp() override { std::ofstream(script) << BashCompletion(); }

    // The words bash would offer after typing line (words separated by
    // single spaces; the last one is the word being completed), sorted.
    std::string complete(const std::string& line) {
        std::ofstream(dir / "case.sh")
            << "source '" << script << "'\n"
            << "read -ra COMP_WORDS <<< 'tallyleaf-cli " << line << "'\n"
            << "[[ '" << line << "' == *' ' || -z '" << line << "' ]] && COMP_WORDS+=('')\n"
            << "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
            << "_tallyleaf_cli\n"
            << "echo \"${COMPREPLY[*]}\"\n";
        std::istringstream offered(Shell("bash '" + (dir / "case.sh").string() + "' 2>&1"));
        std::vector<std::string> words{std::istream_iterator<std::string>(offered), {}};
        std::sort(words.begin(), words.end());
        std::string out;
        for (const std::string& w : words) out += (out.empty() ? "" : " ") + w;
        return out;
    }
};

TEST_F(BashCompletionTest, OffersCommandsOptionsAndChoices) {
    EXPECT_EQ(complete("ex"), "export extract");
    EXPECT_EQ(complete("--data x.dat ch"), "check");
    EXPECT_EQ(complete("--js"), "--json");
    EXPECT_EQ(complete("put 2024-03-05 --blink "), "all none text");
    EXPECT_EQ(complete("--data x.dat export out --encoding u"), "unicode");
    EXPECT_EQ(complete("put 2024-03-05 --text-"), "--text-file");
    EXPECT_EQ(complete("password "), "clear set");
    // Values and positionals are left to bash's file names.
    EXPECT_EQ(complete("--data "), "");
    EXPECT_EQ(complete("put 2024-03-05 --title "), "");
    EXPECT_EQ(complete("attach 2024-03-05 "), "");
}

}  // namespace
}  // namespace tl::cli
