// Subcommands that move diary data in and out: export, import, merge and
// copy, and the whole-file passes optimise and compress-attachments.
// Ctrl+C cancels a running operation as the progress window's Cancel does.

#include <CLI/CLI.hpp>
#include <csignal>
#include <filesystem>
#include <memory>

#include "app/maintenance.h"
#include "app/sync_copies.h"
#include "cli.h"
#include "data_location.h"
#include "date_arg.h"
#include "exchange/export.h"
#include "exchange/field_checks.h"
#include "exchange/import.h"
#include "exchange/merge.h"

namespace tl::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int) {
    g_interrupted = 1;
}

// The terminal user with Ctrl+C as the progress Cancel. Installed for the
// length of one operation; the previous handler comes back afterwards.
class InterruptibleUi final : public res::UserInterface {
public:
    using UserInterface::inform;
    using UserInterface::warn;

    explicit InterruptibleUi(res::UserInterface& ui) : m_ui(ui) {
        g_interrupted = 0;
        struct sigaction sa {};
        sa.sa_handler = OnInterrupt;
        sigemptyset(&sa.sa_mask);
        ::sigaction(SIGINT, &sa, &m_previous);
    }
    ~InterruptibleUi() override { ::sigaction(SIGINT, &m_previous, nullptr); }
    InterruptibleUi(const InterruptibleUi&) = delete;
    InterruptibleUi& operator=(const InterruptibleUi&) = delete;

    void warn(std::string_view text) override { m_ui.warn(text); }
    void inform(std::string_view text) override { m_ui.inform(text); }
    bool askYesNo(std::string_view text) override { return m_ui.askYesNo(text) && !g_interrupted; }
    res::Answer askYesNoCancel(std::string_view text) override {
        const res::Answer a = m_ui.askYesNoCancel(text);
        return g_interrupted ? res::Answer::Cancel : a;
    }
    void openProgress(std::string_view title) override { m_ui.openProgress(title); }
    bool stepProgress(int percent) override { return m_ui.stepProgress(percent) && !g_interrupted; }
    void closeProgress() override { m_ui.closeProgress(); }

private:
    res::UserInterface& m_ui;
    struct sigaction m_previous {};
};

int ExitCode(int result) {
    return result == 1 ? kExitOk : kExitFailure;
}

// The folder argument as the dialogs check it; nullopt after the message.
std::optional<std::string> Folder(Context& ctx, const std::string& typed) {
    exchange::FolderCheck c = exchange::CheckFolder(typed);
    if (!c.error) return c.folder;
    ctx.ui.warn(*c.error);
    return std::nullopt;
}

exchange::Encoding EncodingOf(const std::string& name) {
    if (name == "unicode") return exchange::Encoding::Unicode;
    if (name == "rtf") return exchange::Encoding::RichText;
    return exchange::Encoding::Ansi;
}

CLI::Option* AddEncoding(CLI::App& sub, std::string& encoding) {
    return sub
        .add_option("--encoding", encoding, "ansi (code page 932), unicode (UTF-16LE) or rtf")
        ->check(CLI::IsMember({"ansi", "unicode", "rtf"}));
}

Handler SetupExport(CLI::App& sub, Context& ctx) {
    struct Options {
        std::string folder, encoding = "ansi", from, to;
        bool noTexts = false, noAttachments = false;
    };
    auto o = std::make_shared<Options>();
    sub.add_option("DIR", o->folder, "the folder to export into")->required();
    sub.add_flag("--no-texts", o->noTexts, "leave the entries' texts out");
    sub.add_flag("--no-attachments", o->noAttachments, "leave the attached files out");
    AddEncoding(sub, o->encoding);
    sub.add_option("--from", o->from, "first date: YYYY, YYYY-MM or YYYY-MM-DD");
    sub.add_option("--to", o->to, "last date (a year or month includes all its days)");
    return [&ctx, o]() {
        exchange::ExportRequest request;
        auto folder = Folder(ctx, o->folder);
        if (!folder) return kExitUsage;
        request.folder = *folder;
        request.texts = !o->noTexts;
        request.attachments = !o->noAttachments;
        request.encoding = EncodingOf(o->encoding);
        if (!o->from.empty()) {
            auto key = RangeKey(o->from, RangeEnd::First);
            if (!key) return PrintError("not a date: '" + o->from + "'"), kExitUsage;
            request.fromKey = *key;
        }
        if (!o->to.empty()) {
            auto key = RangeKey(o->to, RangeEnd::Last);
            if (!key) return PrintError("not a date: '" + o->to + "'"), kExitUsage;
            request.toKey = *key;
        }
        if (request.fromKey > request.toKey) {
            ctx.ui.warn(res::Msg::StartAfterEnd);
            return kExitUsage;
        }
        store::CDiaryDataFile file;
        if (int rc = OpenDataFile(ctx, file, true); rc != kExitOk) return rc;
        InterruptibleUi ui(ctx.ui);
        file.SetUserInterface(ui);
        return ExitCode(exchange::RunExport(file, request));
    };
}

Handler SetupImport(CLI::App& sub, Context& ctx) {
    auto folder = std::make_shared<std::string>();
    auto encoding = std::make_shared<std::string>("ansi");
    sub.add_option("DIR", *folder, "the folder to import from")->required();
    AddEncoding(sub, *encoding);
    return [&ctx, folder, encoding]() {
        // The import dialog takes the folder as typed, without checks.
        std::string f = exchange::CheckFolder(*folder).folder;
        store::CDiaryDataFile file;
        if (int rc = OpenDataFile(ctx, file, false); rc != kExitOk) return rc;
        if (file.IsReadOnly()) {
            ctx.ui.warn(res::Msg::DataReadOnly);
            return kExitFailure;
        }
        InterruptibleUi ui(ctx.ui);
        file.SetUserInterface(ui);
        std::uint64_t failed = 0;
        const int r = exchange::RunImport(file, f, EncodingOf(*encoding), &failed);
        // The program's messages end with the completion; a script must
        // still learn that items are missing.
        if (failed > 0) {
            const std::uint64_t total =
                exchange::CountImportTexts(f) + exchange::CountImportAttachments(f);
            PrintError(std::to_string(failed) + " of " + std::to_string(total) +
                       " items could not be imported");
            return kExitFailure;
        }
        return ExitCode(r);
    };
}

Handler SetupMerge(CLI::App& sub, Context& ctx) {
    auto folder = std::make_shared<std::string>();
    auto emptyAfter = std::make_shared<bool>(false);
    sub.add_option("DIR", *folder, "the folder of the data file to merge")->required();
    sub.add_flag("--empty-after", *emptyAfter,
                 "empty the merged data file once the merge is complete");
    return [&ctx, folder, emptyAfter]() {
        auto f = Folder(ctx, *folder);
        if (!f) return kExitUsage;
        store::CDiaryDataFile file;
        if (int rc = OpenDataFile(ctx, file, false); rc != kExitOk) return rc;
        TerminalDialogs dialogs(ctx.passwordFile);
        InterruptibleUi ui(ctx.ui);
        file.SetUserInterface(ui);
        return ExitCode(exchange::RunMerge(file, *f, *emptyAfter,
                                           [&] { return dialogs.readPassword("Password: "); }));
    };
}

Handler SetupCopy(CLI::App& sub, Context& ctx) {
    auto folder = std::make_shared<std::string>();
    sub.add_option("DIR", *folder, "the folder to copy the data file into")->required();
    return [&ctx, folder]() {
        auto f = Folder(ctx, *folder);
        if (!f) return kExitUsage;
        store::CDiaryDataFile file;
        if (int rc = OpenDataFile(ctx, file, true); rc != kExitOk) return rc;
        InterruptibleUi ui(ctx.ui);
        file.SetUserInterface(ui);
        return ExitCode(exchange::RunCopy(file, *f));
    };
}

// The fresh file of the whole-file passes goes into the default folder.
std::string FreshFolder() {
    const std::string folder = DefaultDataFolder();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder;
}

Handler SetupOptimise(CLI::App&, Context& ctx) {
    return [&ctx]() {
        store::CDiaryDataFile file;
        if (int rc = OpenDataFile(ctx, file, false); rc != kExitOk) return rc;
        InterruptibleUi ui(ctx.ui);
        file.SetUserInterface(ui);
        return ExitCode(app::RunOptimisation(file, FreshFolder()));
    };
}

Handler SetupCompress(CLI::App&, Context& ctx) {
    return [&ctx]() {
        store::CDiaryDataFile file;
        if (int rc = OpenDataFile(ctx, file, true); rc != kExitOk) return rc;
        InterruptibleUi ui(ctx.ui);
        file.SetUserInterface(ui);
        return ExitCode(app::CompressAllAttachments(file, FreshFolder()));
    };
}

Handler SetupMergeConflicts(CLI::App&, Context& ctx) {
    return [&ctx]() {
        store::CDiaryDataFile file;
        if (int rc = OpenForChange(ctx, file); rc != kExitOk) return rc;
        if (app::FindConflictCopies(file.Path()).empty()) {
            ctx.ui.inform(res::Msg::NoConflictCopies);
            return kExitOk;
        }
        TerminalDialogs dialogs(ctx.passwordFile);
        InterruptibleUi ui(ctx.ui);
        file.SetUserInterface(ui);
        const app::ConflictMerges r =
            app::OfferConflictCopies(file, [&] { return dialogs.readPassword("Password: "); });
        if (ctx.json)
            std::cout << "{\"merged\":" << r.merged << ",\"failed\":" << r.failed
                      << ",\"damaged\":" << r.damaged << "}\n";
        return r.failed > 0 || r.damaged > 0 ? kExitFailure : kExitOk;
    };
}

}  // namespace

void AddExchangeCommands(std::vector<Command>& table) {
    table.push_back({"export", "write entries and attached files into a folder", SetupExport});
    table.push_back({"import", "read entries and attached files from a folder", SetupImport});
    table.push_back({"merge", "merge the data file of another folder into this one", SetupMerge});
    table.push_back({"copy", "copy the data file into a folder", SetupCopy});
    table.push_back({"optimise", "rebuild the data file without its free space", SetupOptimise});
    table.push_back({"compress-attachments", "compress every attached file stored uncompressed",
                     SetupCompress});
    table.push_back({"merge-conflicts",
                     "merge the conflicted copies a sync tool left beside the data file",
                     SetupMergeConflicts});
}

}  // namespace tl::cli
