// Typing survives a crash: a child process types into the desktop
// program's main window and is killed with SIGKILL at a random moment; the
// next start must show everything typed up to 2 seconds before the kill.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>

#include "app/app_settings.h"
#include "diary/diary_documents.h"
#include "diary/marlow_doc.h"
#include "diary/marlow_view.h"
#include "main_frame.h"
#include "store/data_file_key.h"
#include "store/diary_data_file.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

extern char** environ;

namespace tl::frame {
namespace {

using namespace std::chrono;
using Clock = steady_clock;

constexpr year_month_day kToday{year{2026}, month{12}, day{9}};
constexpr store::Date kDay{2026, 12, 9};
constexpr const char* kChildDir = "TL_TYPING_CHILD_DIR";
// How much typing a crash may cost.
constexpr auto kAllowedLoss = seconds(2);

// The n-th character the child types: words of letters and spaces.
char Typed(std::size_t n) {
    static const std::string kWords = "the quick brown fox jumps over a lazy dog ";
    return kWords[n % kWords.size()];
}

std::unique_ptr<store::CDiaryDataFile> OpenData(const std::string& path, res::UserInterface& ui) {
    auto file = std::make_unique<store::CDiaryDataFile>(store::PosixFileSystem::instance(), ui);
    file->SetPath(path);
    file->SetKey(store::DeriveDataFileKey());
    return file;
}

// The child: types into today's entry without end, telling its parent on
// standard output how many characters are in, until it is killed.
TEST(TypingKillTest, DISABLED_Child) {
    const char* dir = std::getenv(kChildDir);
    ASSERT_NE(dir, nullptr);
    testing::RecordingUi ui;
    auto file = OpenData(std::string(dir) + "/Mrlwbk31.dat", ui);
    ASSERT_EQ(file->Open(false), store::OpenResult::Opened);
    app::AppSettings settings;
    CMainFrame frame(settings, *file, ui, [] { return kToday; });
    frame.show();
    diary::CMarlowDoc* doc = frame.documents().OpenEntry(kDay, true);
    ASSERT_NE(doc, nullptr);
    doc->view()->setFocus();
    for (std::size_t n = 0;; ++n) {
        QTest::keyClick(doc->view(), Typed(n));
        const std::string line = std::to_string(n + 1) + "\n";
        if (::write(STDOUT_FILENO, line.data(), line.size()) < 0) return;
        QTest::qWait(10);
    }
}

// Starts the child typing into the data file in dir; its pid and the read
// end of its standard output.
pid_t StartTyping(const std::string& dir, int& out) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::string program = "/proc/self/exe";
    std::string filter = "--gtest_filter=TypingKillTest.DISABLED_Child";
    std::string disabled = "--gtest_also_run_disabled_tests";
    char* argv[] = {program.data(), filter.data(), disabled.data(), nullptr};
    ::setenv(kChildDir, dir.c_str(), 1);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ) != 0) pid = -1;
    ::unsetenv(kChildDir);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    out = pipeFds[0];
    return pid;
}

TEST(TypingKillTest, TextTypedUpToTwoSecondsBeforeAKillComesBack) {
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> killAfterMs(500, 4000);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        testing::TempDir dir;
        const std::string data = (dir / "Mrlwbk31.dat").string();
        testing::RecordingUi ui;
        ASSERT_EQ(OpenData(data, ui)->Create(), 1);

        int out = -1;
        const pid_t child = StartTyping(dir.path().string(), out);
        ASSERT_GT(child, 0);
        // The count the child reported, and when this side read it (which
        // is never before the child typed it).
        std::vector<std::pair<Clock::time_point, std::size_t>> reports;
        std::string pending;
        std::optional<Clock::time_point> killAt;
        const auto giveUp = Clock::now() + seconds(60);
        char buffer[256];
        while (Clock::now() < giveUp) {
            if (killAt && Clock::now() >= *killAt) break;
            pollfd ready{out, POLLIN, 0};
            if (::poll(&ready, 1, 20) <= 0) continue;
            const ssize_t n = ::read(out, buffer, sizeof buffer);
            if (n <= 0) break;
            pending.append(buffer, static_cast<std::size_t>(n));
            for (std::size_t eol; (eol = pending.find('\n')) != std::string::npos;) {
                // The test framework prints its own lines on the same output.
                const std::string line = pending.substr(0, eol);
                if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos)
                    reports.emplace_back(Clock::now(), std::stoul(line));
                pending.erase(0, eol + 1);
            }
            if (!killAt && !reports.empty())
                killAt = Clock::now() + milliseconds(killAfterMs(random));
        }
        ::kill(child, SIGKILL);
        const Clock::time_point killed = Clock::now();
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(out);
        ASSERT_TRUE(killAt) << "the child never typed";
        ASSERT_TRUE(WIFSIGNALED(status));

        std::size_t typed = reports.empty() ? 0 : reports.back().second;
        std::size_t mustHave = 0;
        for (const auto& [when, count] : reports)
            if (when + kAllowedLoss <= killed) mustHave = count;

        // The next start.
        auto file = OpenData(data, ui);
        ASSERT_EQ(file->Open(false), store::OpenResult::Opened);
        app::AppSettings settings;
        auto frame = std::make_unique<CMainFrame>(settings, *file, ui, [] { return kToday; });
        frame->show();
        frame->dataFileOpened();
        std::string shown;
        if (diary::CMarlowDoc* doc = frame->documents().document(kDay))
            shown = doc->view()->toPlainText().toStdString();
        std::string expected;
        for (std::size_t i = 0; i < std::max(typed, shown.size()); ++i) expected += Typed(i);
        EXPECT_GE(shown.size(), mustHave) << "typed " << typed;
        EXPECT_EQ(shown, expected.substr(0, shown.size()));
        // Brought back as the user left it, and saved once it is left.
        if (diary::CMarlowDoc* doc = frame->documents().document(kDay)) {
            EXPECT_TRUE(doc->IsModified());
            EXPECT_TRUE(frame->documents().CloseAll());
            std::u16string stored;
            file->ReadEntryText(kDay, stored);
            EXPECT_EQ(stored.size(), shown.size());
        }
        frame.reset();
        file->Close();
    }
}

}  // namespace
}  // namespace tl::frame
