#include "terminal_ui.h"

#include <termios.h>
#include <unistd.h>

#include <iostream>
#include <string>

#include "store/codepage.h"

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

void TerminalUi::warn(std::string_view text) {
    std::cerr << ForTerminal(text) << '\n';
}

void TerminalUi::inform(std::string_view text) {
    std::cerr << ForTerminal(text) << '\n';
}

bool TerminalUi::askYesNo(std::string_view text) {
    return askYesNoCancel(text) == res::Answer::Yes;
}

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
                  << std::string(static_cast<std::size_t>(20 - filled), ' ') << "] " << percent
                  << "%" << std::flush;
    }
    return true;
}

void TerminalUi::closeProgress() {
    if (m_progressShown) std::cerr << '\n';
    m_progressShown = false;
}

TerminalDialogs::TerminalDialogs(const std::string& passwordFile) {
    if (!passwordFile.empty()) m_file = std::make_unique<std::ifstream>(passwordFile);
}

bool TerminalDialogs::editDataFileSettings(app::DataFileSettingsForm&) {
    std::cerr << "Change it with: tallyleaf-cli settings FILE/LOCATION_DEFAULT 0 and FILE/LOCATION "
                 "FOLDER\n";
    return false;
}

app::PasswordReply TerminalDialogs::askPassword(bool) {
    auto text = readPassword("Password: ");
    if (!text) return {app::PasswordReply::Action::Cancel, {}};
    return {app::PasswordReply::Action::Ok, *text};
}

std::optional<std::u16string> TerminalDialogs::readPassword(const char* prompt) {
    std::string line;
    if (m_file) {
        if (!std::getline(*m_file, line)) return std::nullopt;
    } else if (::isatty(STDIN_FILENO)) {
        std::cerr << prompt << std::flush;
        termios old{};
        const bool echoOff = ::tcgetattr(STDIN_FILENO, &old) == 0;
        if (echoOff) {
            termios quiet = old;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
        }
        const bool got = static_cast<bool>(std::getline(std::cin, line));
        if (echoOff) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &old);
        std::cerr << '\n';
        if (!got) return std::nullopt;
    } else if (!std::getline(std::cin, line)) {
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return store::Utf8ToUtf16(line);
}

}  // namespace tl::cli
