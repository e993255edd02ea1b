#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "store/diary_data_file.h"
#include "store/rescue.h"
#include "terminal_ui.h"

namespace CLI {
class App;
}

namespace tl::cli {

// What every subcommand shares: the data file's path, the output mode and
// the terminal user.
struct Context {
    std::string dataPath;      // empty: where the desktop program finds it
    std::string passwordFile;  // one try per line; empty: ask on the terminal
    bool askPassword = true;   // OpenDataFile checks the file's password
    bool json = false;
    bool assumeYes = false;
    TerminalUi ui;
    // Set when another program replaced, moved or deleted the data file
    // while the command ran: the command fails whatever it returned.
    bool replaced = false;

    // The data file to work on: --data, else the default.
    std::string path() const;
};

// The tool's name and the description its --help starts with.
inline constexpr const char* kToolName = "tallyleaf-cli";
inline constexpr const char* kToolDescription = "Tally Leaf diary, on the command line";

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

using Handler = std::function<int()>;

// One row of the subcommand table.
struct Command {
    const char* name;
    const char* help;
    // Declares the subcommand's options; returns the handler to run once
    // the command line is parsed, which returns the exit code.
    Handler (*setup)(CLI::App& sub, Context& ctx);
};

const std::vector<Command>& Commands();

// The tool's own errors, git style: "tallyleaf-cli: error: ...".
void PrintError(const std::string& message);

// Opens the data file and checks it. On failure prints why and returns the
// exit code (2 cannot be opened, 1 damaged); kExitOk when it is open.
int OpenDataFile(Context& ctx, store::CDiaryDataFile& file, bool readOnly);
// The same for a change: a read-only data file is refused with the
// program's message (exit 1).
int OpenForChange(Context& ctx, store::CDiaryDataFile& file);
// Prints what a rescue kept (commands_file.cpp); the exit code.
int PrintRescue(Context& ctx, const store::RescueResult& result);

// Parses a DATE argument; prints why not and returns nullopt when it is no
// date (the caller exits with kExitUsage).
std::optional<store::Date> DateArgument(const std::string& text);
// "#RRGGBB" or "RRGGBB" as a stored colour (0x00BBGGRR). In commands_records.cpp.
std::optional<std::uint32_t> ParseColor(std::string text);
// A stored colour as "#RRGGBB". In commands_records.cpp.
std::string ColorText(std::uint32_t color);
// Asks for the password of an open data file that has one (three tries);
// kExitOk when it was given. In commands_app.cpp.
int CheckDataFilePassword(Context& ctx, store::CDiaryDataFile& file);

// The tool's command line: its own options and one subcommand per row of
// the table, each declared by its setup. --help, the manual page and the
// shell completion all read this one declaration.
struct DeclaredCommand {
    CLI::App* sub;
    Handler handler;
};
std::vector<DeclaredCommand> DeclareCommandLine(CLI::App& app, Context& ctx);

// "usage: tallyleaf-cli [--data FILE] ... COMMAND [ARGS]", from app's options.
std::string ToolUsage(const CLI::App& app);
// "usage: tallyleaf-cli export [options] DIR", from a subcommand's positionals.
std::string UsageLine(const CLI::App& sub);
// What "help" prints: the usage and the table of subcommands.
void PrintCommandTable(std::ostream& out, const CLI::App& app);

int Run(int argc, char** argv);

// Each area of subcommands appends its rows to the table, in help order.
void AddFileCommands(std::vector<Command>& table);        // commands_file.cpp
void AddRecordCommands(std::vector<Command>& table);      // commands_records.cpp
void AddAttachmentCommands(std::vector<Command>& table);  // commands_attachments.cpp
void AddAppCommands(std::vector<Command>& table);         // commands_app.cpp
void AddExchangeCommands(std::vector<Command>& table);    // commands_exchange.cpp
void AddOnThisDayCommands(std::vector<Command>& table);   // commands_on_this_day.cpp

}  // namespace tl::cli
