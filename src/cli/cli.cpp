#include "cli.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>

#include "data_location.h"
#include "date_arg.h"
#include "store/data_file_key.h"

namespace tl::cli {

std::string Context::path() const {
    return dataPath.empty() ? LocatedDataFile() : dataPath;
}

void PrintError(const std::string& message) {
    std::cerr << "tallyleaf-cli: error: " << message << '\n';
}

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = [] {
        std::vector<Command> all;
        AddFileCommands(all);
        AddRecordCommands(all);
        AddAttachmentCommands(all);
        AddAppCommands(all);
        AddExchangeCommands(all);
        AddOnThisDayCommands(all);
        return all;
    }();
    return commands;
}

int OpenDataFile(Context& ctx, store::CDiaryDataFile& file, bool readOnly) {
    const std::string path = ctx.path();
    file.SetPath(path);
    file.SetKey(store::DeriveDataFileKey());
    file.SetUserInterface(ctx.ui);
    file.SetDetachedHandler([&ctx, path](store::PathState) {
        ctx.replaced = true;
        ctx.ui.warn(res::FormatText(res::Msg::ReplacedWhileRunning, {path}));
    });
    if (!store::PosixFileSystem::instance().exists(path)) {
        PrintError("cannot open '" + path + "': not found");
        return kExitUsage;
    }
    switch (file.Open(readOnly)) {
        case store::OpenResult::Opened:
            break;
        case store::OpenResult::InUse:
            PrintError("cannot open '" + path + "': in use");
            return kExitUsage;
        case store::OpenResult::Failed:
            PrintError("cannot open '" + path + "'");
            return kExitUsage;
    }
    if (!file.Validate()) {
        if (file.BytesPastTotal() != store::PastTotal::Records) {
            ctx.ui.warn(res::Msg::DiaryDataIncorrect);
            return kExitFailure;
        }
        // Records past the total: the rescue instead of an open.
        file.Close();
        if (!ctx.ui.askYesNo(res::Text(res::Msg::RecordsPastEnd))) {
            PrintError("'" + path + "' holds records past its end (see 'tallyleaf-cli rescue')");
            return kExitFailure;
        }
        if (PrintRescue(ctx, store::Rescue({path, ""}, ctx.ui)) != kExitOk) return kExitFailure;
        if (file.Open(readOnly) != store::OpenResult::Opened || !file.Validate()) {
            ctx.ui.warn(res::Msg::DiaryDataIncorrect);
            return kExitFailure;
        }
    }
    return ctx.askPassword ? CheckDataFilePassword(ctx, file) : kExitOk;
}

int OpenForChange(Context& ctx, store::CDiaryDataFile& file) {
    if (int rc = OpenDataFile(ctx, file, false); rc != kExitOk) return rc;
    if (file.IsReadOnly()) {
        ctx.ui.warn(res::Msg::DataReadOnly);
        return kExitFailure;
    }
    return kExitOk;
}

std::optional<store::Date> DateArgument(const std::string& text) {
    std::optional<store::Date> date = ParseDate(text);
    if (!date) PrintError("not a date: '" + text + "' (YYYY-MM-DD, YYYY-MM or YYYY)");
    return date;
}

namespace {

std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diag = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            std::size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diag + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diag = up;
        }
    }
    return row[b.size()];
}

// Options of the tool itself that take a value, so the word after them is
// not a subcommand.
bool TakesValue(const std::string& arg) {
    return arg == "--data" || arg == "--password-file";
}

}  // namespace

std::vector<DeclaredCommand> DeclareCommandLine(CLI::App& app, Context& ctx) {
    app.option_defaults()->always_capture_default(false);
    app.add_option("--data", ctx.dataPath, "the data file (default: the user's Mrlwbk31.dat)")
        ->type_name("FILE");
    app.add_option("--password-file", ctx.passwordFile,
                   "read passwords from this file, one try per line")
        ->type_name("FILE");
    app.add_flag("--json", ctx.json, "print results as JSON");
    app.add_flag("-y,--yes", ctx.assumeYes, "answer yes to every question");
    // The tool's own options may also follow the subcommand, as users of
    // other command-line tools expect (set before the subcommands inherit it).
    app.fallthrough();
    app.require_subcommand(1);
    std::vector<DeclaredCommand> declared;
    for (const Command& c : Commands()) {
        CLI::App* sub = app.add_subcommand(c.name, c.help);
        declared.push_back({sub, c.setup(*sub, ctx)});
    }
    return declared;
}

std::string ToolUsage(const CLI::App& app) {
    std::string line = "usage: " + app.get_name();
    for (const CLI::Option* opt : app.get_options()) {
        if (opt->get_positional() || opt == app.get_help_ptr()) continue;
        std::string name = opt->get_lnames().empty() ? "-" + opt->get_snames().front()
                                                     : "--" + opt->get_lnames().front();
        if (!opt->get_type_name().empty()) name += " " + opt->get_type_name();
        line += " [" + name + "]";
    }
    return line + " COMMAND [ARGS]";
}

void PrintCommandTable(std::ostream& out, const CLI::App& app) {
    out << ToolUsage(app)
        << "\n(the options in brackets may also follow the command)\n\ncommands:\n";
    for (const Command& c : Commands()) {
        std::string name = c.name;
        name.resize(std::max<std::size_t>(name.size() + 2, 14), ' ');
        out << "  " << name << c.help << '\n';
    }
    out << "\nEach command has its own --help.\n";
}

std::string UsageLine(const CLI::App& sub) {
    std::string line = "usage: tallyleaf-cli " + sub.get_name() + " [options]";
    for (const CLI::Option* opt : sub.get_options()) {
        if (!opt->get_positional()) continue;
        std::string name = opt->get_name();
        if (opt->get_items_expected_max() > 1) name += "...";
        line += opt->get_required() ? " " + name : " [" + name + "]";
    }
    return line;
}

int Run(int argc, char** argv) {
    Context ctx;
    CLI::App app{kToolDescription, kToolName};
    const std::vector<DeclaredCommand> declared = DeclareCommandLine(app, ctx);

    // Find the subcommand word first, for "help" and a "did you mean".
    std::string word;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (TakesValue(arg)) {
            ++i;
            continue;
        }
        if (arg.empty() || arg[0] == '-') continue;
        word = arg;
        break;
    }
    if (word == "help") {
        PrintCommandTable(std::cout, app);
        return kExitOk;
    }
    const auto& commands = Commands();
    if (!word.empty() && std::none_of(commands.begin(), commands.end(),
                                      [&](const Command& c) { return word == c.name; })) {
        PrintError("unknown command '" + word + "'");
        const Command* best = nullptr;
        std::size_t bestDistance = 3;
        for (const Command& c : commands) {
            std::size_t d = EditDistance(word, c.name);
            if (d < bestDistance) bestDistance = d, best = &c;
        }
        if (best) std::cerr << "did you mean '" << best->name << "'?\n";
        return kExitUsage;
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        CLI::App* sub = app.get_subcommands().empty() ? &app : app.get_subcommands().front();
        if (sub == &app)
            PrintCommandTable(std::cout, app);
        else
            std::cout << sub->help();
        return kExitOk;
    } catch (const CLI::ParseError& e) {
        if (app.get_subcommands().empty()) {
            PrintCommandTable(std::cerr, app);
        } else {
            CLI::App* sub = app.get_subcommands().front();
            std::cerr << UsageLine(*sub) << '\n';
            PrintError(e.what());
        }
        return kExitUsage;
    }
    ctx.ui.setAssumeYes(ctx.assumeYes);
    for (const auto& [sub, handler] : declared)
        if (sub->parsed()) {
            const int rc = handler();
            return ctx.replaced ? kExitFailure : rc;
        }
    return kExitUsage;
}

}  // namespace tl::cli
