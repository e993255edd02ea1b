#include "marlow_app.h"

#include <QApplication>
#include <QDate>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "app/failure_report.h"
#include "app/qt/qt_settings_store.h"
#include "app/qt/single_instance.h"
#include "app/startup.h"
#include "app_icon.h"
#include "desktop_dialogs.h"
#include "desktop_ui.h"
#include "diary/diary_documents.h"
#include "exchange_commands.h"
#include "main_frame.h"
#include "replaced_file_watch.h"
#include "res/messages.h"
#include "sticky/sticky_notes.h"
#include "store/diary_data_file.h"
#include "widgets/font_faces.h"
#include "widgets/guarded_application.h"
#include "widgets/scale.h"
#include "widgets/wait_cursor.h"

namespace tl::frame {

namespace {

app::LoadEnvironment loadEnvironment() {
    app::LoadEnvironment env;
    if (QScreen* screen = QApplication::primaryScreen()) {
        const QRect a = screen->availableGeometry();
        env.workArea = {a.left(), a.top(), a.left() + a.width(), a.top() + a.height()};
    }
    env.translucentWindows = sticky::TranslucentWindowsOffered();
    return env;
}

// Opens the dates given on the command line and, when asked, saves a
// picture of the window and closes it.
void runLaunchOptions(CMainFrame& frame, const LaunchOptions& options) {
    for (const QString& text : options.openDates) {
        const QDate date = QDate::fromString(text, Qt::ISODate);
        if (date.isValid())
            frame.documents().OpenEntry(
                {static_cast<std::int16_t>(date.year()), static_cast<std::uint8_t>(date.month()),
                 static_cast<std::uint8_t>(date.day())},
                true);
    }
    if (options.screenshot.isEmpty()) return;
    // Give the window a moment to lay out and paint first.
    QTimer::singleShot(800, &frame, [&frame, path = options.screenshot] {
        frame.grab().save(path);
        frame.close();
    });
}

}  // namespace

int RunApplication(const LaunchOptions& options) {
    app::SingleInstance instance;
    switch (instance.acquire()) {
        case app::SingleInstance::Role::First:
            break;
        case app::SingleInstance::Role::Second:
            return 0;
        case app::SingleInstance::Role::Unreachable: {
            // Nothing may run beside an instance that could not be told.
            const std::string text =
                res::FormatText(res::Msg::InstanceUnreachable, {instance.lockPath().toStdString()});
            std::fprintf(stderr, "%s\n", text.c_str());
            DesktopUi ui;
            ui.warn(text);
            return 1;
        }
    }
    // Only the instance that runs cleans the copies an earlier one left;
    // those of a running one may still be open in other programs.
    app::CleanTempFolder();

    // The Windows faces that diaries name are drawn with installed ones.
    widgets::InstallFaceStandIns();
    // Every window, and a maximised entry's system menu, shows this icon.
    QApplication::setWindowIcon(makeAppIcon());
    if (QScreen* screen = QApplication::primaryScreen())
        widgets::SetScaleDpi(qRound(screen->logicalDotsPerInchY()));
    app::QtSettingsStore store;
    app::AppSettings settings = app::LoadSettings(store, loadEnvironment());

    DesktopUi ui;
    if (widgets::GuardedApplication* guarded = widgets::GuardedApplication::instance())
        guarded->setFailureHandler(
            [&ui](std::exception_ptr failure) { app::ReportFailure(ui, failure); });
    store::CDiaryDataFile dataFile(store::PosixFileSystem::instance(), ui);
    DesktopDialogs dialogs(ui);
    const app::Clock& clock = app::SystemClock::instance();
    const auto today = [&settings, &clock] {
        return app::GetDiaryToday(clock, settings.etc.todayRange);
    };

    // The frame is destroyed before the data file and the settings it uses.
    auto frame = std::make_unique<CMainFrame>(settings, dataFile, ui, today);
    ui.setMainWindow(frame.get());
    dialogs.setParent(frame.get());
    QObject::connect(&instance, &app::SingleInstance::raiseRequested, frame.get(),
                     &CMainFrame::bringToFront);

    app::StartHooks hooks;
    hooks.waitCursor = widgets::SetWaitCursor;
    hooks.openToday = [&frame](std::chrono::year_month_day) { frame->openToday(); };
    // Before the data file is looked for again, the notes go into the old one.
    hooks.beforeLocate = [&frame] { frame->stickyNotes().SaveAllNotes(); };
    // Data of earlier versions in the data folder is offered once it is open.
    hooks.convertOldData = [&frame](const std::string& folder) {
        frame->exchangeCommands().convertOldData(folder);
    };
    app::DiaryStartup startup(settings, dataFile, ui, dialogs, clock, hooks);
    dialogs.setDefaultFolder([&startup] { return startup.location().DefaultDataFolder(); });
    frame->setStartup(&startup);
    ReplacedFileWatch replacedWatch(
        dataFile, [&frame] { (void)frame->exchangeCommands().keepReplacedDataFile(); });

    frame->show();
    QCoreApplication::processEvents();
    int code = 0;
    if (startup.StartDiaryData() == 1) {
        frame->dataFileOpened();
        runLaunchOptions(*frame, options);
        code = QApplication::exec();
        // The notes written as the window goes must not go into a replaced file.
        replacedWatch.check();
        if (dataFile.IsDetached()) (void)frame->exchangeCommands().keepReplacedDataFile();
    }
    // Destroying the main window writes the sticky notes back.
    frame.reset();
    if (widgets::GuardedApplication* guarded = widgets::GuardedApplication::instance())
        guarded->setFailureHandler({});
    dataFile.Close();
    app::EndApplication(settings, store,
                        {.saveStickyNotes =
                             [&frame] {
                                 if (frame) frame->stickyNotes().SaveAllNotes();
                             },
                         .releaseInstance = [&instance] { instance.release(); }});
    return code;
}

}  // namespace tl::frame
