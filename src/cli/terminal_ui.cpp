#include "terminal_ui.h"

#include <unistd.h>

#include <iostream>
#include <string>

namespace tl::cli {

namespace {

// The program's texts use "\r\n" in places; a terminal wants "\n".
std::string ForTerminal(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

}  // namespace

void TerminalUi::warn(std::string_view text) { std::cerr << ForTerminal(text) << '\n'; }

void TerminalUi::inform(std::string_view text) { std::cerr << ForTerminal(text) << '\n'; }

bool TerminalUi::askYesNo(std::string_view text) { return askYesNoCancel(text) == res::Answer::Yes; }

res::Answer TerminalUi::askYesNoCancel(std::string_view text) {
    std::cerr << ForTerminal(text) << '\n';
    if (m_assumeYes) {
        std::cerr << "(yes)\n";
        return res::Answer::Yes;
    }
    if (!::isatty(STDIN_FILENO)) {
        std::cerr << "(no answer on standard input: no)\n";
        return res::Answer::No;
    }
    for (;;) {
        std::cerr << "[y/n] " << std::flush;
        std::string line;
        if (!std::getline(std::cin, line)) return res::Answer::Cancel;
        if (line == "y" || line == "Y" || line == "yes") return res::Answer::Yes;
        if (line == "n" || line == "N" || line == "no") return res::Answer::No;
    }
}

void TerminalUi::openProgress(std::string_view title) {
    m_progressShown = ::isatty(STDERR_FILENO) != 0;
    m_lastPercent = -1;
    if (m_progressShown) std::cerr << ForTerminal(title) << '\n';
}

bool TerminalUi::stepProgress(int percent) {
    if (m_progressShown && percent != m_lastPercent) {
        m_lastPercent = percent;
        int filled = percent / 5;
        std::cerr << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
                  << std::string(static_cast<std::size_t>(20 - filled), ' ') << "] " << percent << "%"
                  << std::flush;
    }
    return true;
}

void TerminalUi::closeProgress() {
    if (m_progressShown) std::cerr << '\n';
    m_progressShown = false;
}

}  // namespace tl::cli
