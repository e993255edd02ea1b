// Subcommands of the application core: backup, restore, password, settings.

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <limits>
#include <memory>
#include <nlohmann/json.hpp>

#include "app/backup_generations.h"
#include "app/password.h"
#include "app/qt/qt_settings_store.h"
#include "cli.h"
#include "data_location.h"
#include "store/data_file_key.h"

namespace tl::cli {

int CheckDataFilePassword(Context& ctx, store::CDiaryDataFile& file) {
    const std::u16string stored = file.GetPassword();
    if (stored.empty()) return kExitOk;
    TerminalDialogs dialogs(ctx.passwordFile);
    if (app::AskPassword(stored, dialogs, ctx.ui)) return kExitOk;
    file.Close();
    PrintError("cannot open '" + file.Path() + "': the password was not given");
    return kExitFailure;
}

namespace {

Handler SetupBackup(CLI::App&, Context& ctx) {
    return [&ctx]() {
        // A damaged file must not replace the last good backup.
        store::CDiaryDataFile file;
        if (int rc = OpenDataFile(ctx, file, true); rc != kExitOk) return rc;
        file.Close();
        app::AppSettings settings = LoadUserSettings();
        TerminalDialogs dialogs(ctx.passwordFile);
        app::DataLocation location(settings, file, ctx.ui, dialogs);
        auto backup = location.BackupPath();
        if (!backup) {
            PrintError("no backup folder: '" + settings.backup.location + "' is not a folder");
            return kExitFailure;
        }
        if (!location.AutomaticBackup()) return kExitFailure;
        if (ctx.json)
            std::cout << nlohmann::json{{"path", file.Path()}, {"backup", *backup}}.dump() << '\n';
        else
            std::cout << "backed up " << file.Path() << " to " << *backup << '\n';
        return kExitOk;
    };
}

// restore: the latest backup, or with --from one of the copies --list
// shows (newest first, by number or path).
Handler SetupRestore(CLI::App& sub, Context& ctx) {
    auto list = std::make_shared<bool>(false);
    auto from = std::make_shared<std::string>();
    sub.add_flag("--list", *list, "list the backups a restore can start from, newest first");
    sub.add_option("--from", *from, "the backup to restore: its number in --list, or its path");
    return [&ctx, list, from]() {
        app::AppSettings settings = LoadUserSettings();
        TerminalDialogs dialogs(ctx.passwordFile);
        store::CDiaryDataFile file;
        file.SetPath(ctx.path());
        app::DataLocation location(settings, file, ctx.ui, dialogs);
        auto backup = location.BackupPath();
        const std::vector<app::BackupCopy> copies =
            backup ? app::ListBackups(*backup) : std::vector<app::BackupCopy>{};
        if (copies.empty()) {
            PrintError("no backup found" + (backup ? " at '" + *backup + "'" : std::string()));
            return kExitFailure;
        }
        if (*list) {
            nlohmann::json rows = nlohmann::json::array();
            for (std::size_t i = 0; i < copies.size(); ++i) {
                const std::string when = app::LocalDateTimeText(copies[i].madeAt);
                if (ctx.json)
                    rows.push_back({{"number", i + 1},
                                    {"made", when},
                                    {"path", copies[i].path},
                                    {"latest", copies[i].latest}});
                else
                    std::cout << i + 1 << "  " << when << "  " << copies[i].path << '\n';
            }
            if (ctx.json) std::cout << rows.dump() << '\n';
            return kExitOk;
        }
        std::size_t chosen = 0;
        if (!from->empty()) {
            const auto byPath =
                std::find_if(copies.begin(), copies.end(),
                             [&](const app::BackupCopy& c) { return c.path == *from; });
            if (byPath != copies.end()) {
                chosen = static_cast<std::size_t>(byPath - copies.begin());
            } else {
                std::size_t used = 0;
                unsigned long number = 0;
                try {
                    number = std::stoul(*from, &used);
                } catch (const std::exception&) {
                    used = 0;
                }
                if (used != from->size() || number < 1 || number > copies.size()) {
                    PrintError("no backup '" + *from + "': see 'tallyleaf-cli restore --list'");
                    return kExitUsage;
                }
                chosen = number - 1;
            }
        }
        const std::string source = copies[chosen].path;
        {
            // Restoring a damaged backup would only trade one damage for another.
            store::CDiaryDataFile copy;
            copy.SetPath(source);
            copy.SetKey(store::DeriveDataFileKey());
            if (copy.Open(true) != store::OpenResult::Opened || copy.Validate() != 1) {
                PrintError("the backup '" + source + "' is damaged; nothing was restored");
                return kExitFailure;
            }
        }
        if (!ctx.ui.askYesNo(app::RestoreQuestion(copies[chosen].madeAt))) return kExitFailure;
        if (!location.RestoreFrom(source)) return kExitFailure;
        if (ctx.json)
            std::cout << nlohmann::json{{"path", file.Path()},
                                        {"restored_from", source},
                                        {"replaced_kept_as", location.replacedFile()}}
                             .dump()
                      << '\n';
        else
            std::cout << "restored " << file.Path() << " from " << source << '\n';
        return kExitOk;
    };
}

// Runs the Change password checks with the texts read from the password
// source; an empty new password removes the password after the question.
int ChangePassword(Context& ctx, bool clear) {
    ctx.askPassword = false;  // the old password is part of the checks
    store::CDiaryDataFile file;
    if (int rc = OpenDataFile(ctx, file, false); rc != kExitOk) return rc;
    if (file.IsReadOnly()) {
        ctx.ui.inform(res::Msg::DataReadOnly);
        return kExitFailure;
    }
    const std::u16string stored = file.GetPassword();
    if (clear && stored.empty()) {
        std::cout << "the diary has no password\n";
        return kExitOk;
    }
    TerminalDialogs dialogs(ctx.passwordFile);
    app::PasswordChange change;
    auto read = [&](const char* prompt, std::u16string& out) {
        auto text = dialogs.readPassword(prompt);
        if (text) out = *text;
        return text.has_value();
    };
    if (!stored.empty() && !read("Old password: ", change.oldPassword))
        return PrintError("no password given"), kExitFailure;
    if (!clear && (!read("New password: ", change.newPassword) ||
                   !read("Confirm password: ", change.confirm)))
        return PrintError("no password given"), kExitFailure;
    if (app::CheckPasswordChange(stored, change, ctx.ui) != app::ChangeCheck::Accept)
        return kExitFailure;
    if (file.SetPassword(change.newPassword) != 1) return kExitFailure;
    std::cout << (change.newPassword.empty() ? "password removed\n" : "password set\n");
    return kExitOk;
}

Handler SetupPassword(CLI::App& sub, Context& ctx) {
    CLI::App* set =
        sub.add_subcommand("set", "set or change the password (old, new and confirm are asked)");
    sub.add_subcommand("clear", "remove the password (the old one is asked)");
    sub.require_subcommand(1);
    return [&ctx, set]() { return ChangePassword(ctx, !set->parsed()); };
}

std::optional<int> ParseInt(const std::string& text) {
    try {
        std::size_t used = 0;
        long long n = std::stoll(text, &used, 0);  // decimal, or 0x for colours
        if (used != text.size() || n < std::numeric_limits<int>::min() ||
            n > std::numeric_limits<int>::max())
            return std::nullopt;
        return static_cast<int>(n);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

Handler SetupSettings(CLI::App& sub, Context& ctx) {
    auto key = std::make_shared<std::string>();
    auto value = std::make_shared<std::string>();
    auto hasValue = std::make_shared<bool>(false);
    sub.add_option("KEY", *key, "SECTION/NAME, for example ETC/TODAYRANGE");
    sub.add_option("VALUE", *value,
                   "the new value (a running desktop program writes its own at exit)")
        ->each([hasValue](const std::string&) { *hasValue = true; });
    return [&ctx, key, value, hasValue]() {
        app::QtSettingsStore store;
        const auto all = app::DescribeSettings(app::LoadSettings(store, {}));
        if (key->empty()) {
            nlohmann::json out = nlohmann::json::object();
            for (const auto& s : all) {
                if (ctx.json)
                    out[s.key] =
                        s.isInt ? nlohmann::json(std::stoi(s.value)) : nlohmann::json(s.value);
                else
                    std::cout << s.key << '=' << s.value << '\n';
            }
            if (ctx.json) std::cout << out.dump(2) << '\n';
            return kExitOk;
        }
        auto it = std::find_if(all.begin(), all.end(),
                               [&](const app::SettingInfo& s) { return s.key == *key; });
        const auto slash = key->find('/');
        if (it == all.end() || slash == std::string::npos) {
            PrintError("unknown setting '" + *key + "' (tallyleaf-cli settings lists them)");
            return kExitUsage;
        }
        const std::string section = key->substr(0, slash), name = key->substr(slash + 1);
        if (!*hasValue) {
            if (ctx.json)
                std::cout << nlohmann::json{{"key", it->key}, {"value", it->value}}.dump() << '\n';
            else
                std::cout << it->value << '\n';
            return kExitOk;
        }
        if (it->isInt) {
            auto n = ParseInt(*value);
            if (!n) {
                PrintError(it->key + " takes a whole number, not '" + *value + "'");
                return kExitUsage;
            }
            store.writeInt(section, name, *n);
            // Stores older than 2.02 take the title colour from an index at
            // load; a colour set now is newer than that.
            if (it->key == "TITLECOL/TITLECOLOR32" &&
                store.readInt("VERSION", "MAJOR").value_or(0) * 100 +
                        store.readInt("VERSION", "MINOR").value_or(0) <
                    202) {
                store.writeInt("VERSION", "MAJOR", 3);
                store.writeInt("VERSION", "MINOR", 1);
            }
        } else {
            store.writeText(section, name, *value);
        }
        store.flush();
        if (it->fixed) std::cerr << it->key << " starts every run of the program at its default\n";
        return kExitOk;
    };
}

}  // namespace

void AddAppCommands(std::vector<Command>& table) {
    table.push_back({"backup", "copy the data file to its backup", SetupBackup});
    table.push_back({"restore", "replace the data file with its backup", SetupRestore});
    table.push_back({"password", "set or clear the data file's password", SetupPassword});
    table.push_back({"settings", "show all settings, one, or change one", SetupSettings});
}

}  // namespace tl::cli
