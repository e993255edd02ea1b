// Subcommands on the data file as a whole: create, check, stats.

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli.h"
#include "date_arg.h"
#include "store/data_file_key.h"

namespace tl::cli {

namespace {

const char* const kKindNames[store::kCountedKinds] = {
    "free",        "entry headers", "plain texts",   "sticky notes",
    "attachments", "rich texts",    "weather lists",
};
const char* const kKindJsonNames[store::kCountedKinds] = {
    "free",        "entry_headers", "plain_texts",   "sticky_notes",
    "attachments", "rich_texts",    "weather_lists",
};

}  // namespace

namespace {

Handler SetupCreate(CLI::App& sub, Context& ctx) {
    auto ifMissing = std::make_shared<bool>(false);
    auto force = std::make_shared<bool>(false);
    sub.add_flag("--if-missing", *ifMissing, "do nothing when the data file exists");
    sub.add_flag("--force", *force, "empty an existing data file (everything in it is lost)");
    return [&ctx, ifMissing, force]() {
        const std::string path = ctx.path();
        namespace fs = std::filesystem;
        std::error_code ec;
        if (fs::exists(path, ec)) {
            if (*ifMissing) return kExitOk;
            if (!*force) {
                PrintError("'" + path + "' already exists (use --force to empty it)");
                return kExitFailure;
            }
        }
        fs::path parent = fs::path(path).parent_path();
        if (!parent.empty()) fs::create_directories(parent, ec);
        store::CDiaryDataFile file;
        file.SetPath(path);
        file.SetKey(store::DeriveDataFileKey());
        if (!file.Create()) {
            ctx.ui.warn(res::Msg::CreatingDiaryDataFailed);
            return kExitFailure;
        }
        if (ctx.json)
            std::cout << nlohmann::json{{"path", path}, {"created", true}}.dump() << '\n';
        else
            std::cout << "created " << path << '\n';
        return kExitOk;
    };
}

Handler SetupCheck(CLI::App&, Context& ctx) {
    return [&ctx]() {
        store::CDiaryDataFile file;
        int rc = OpenDataFile(ctx, file, true);
        if (ctx.json) {
            nlohmann::json out{{"path", ctx.path()}, {"sound", rc == kExitOk}};
            if (rc == kExitOk) out["units"] = file.TotalUnits();
            std::cout << out.dump() << '\n';
        } else if (rc == kExitOk) {
            std::cout << ctx.path() << ": sound, " << file.TotalUnits() << " units\n";
        }
        return rc;
    };
}

Handler SetupStats(CLI::App& sub, Context& ctx) {
    auto from = std::make_shared<std::string>();
    auto to = std::make_shared<std::string>();
    sub.add_option("FROM", *from, "first date: YYYY, YYYY-MM, YYYY-MM-DD or a key YYYYMMDD");
    sub.add_option("TO", *to, "last date (a year or month includes all its days)");
    return [&ctx, from, to]() {
        std::string fromKey = "00000000";
        std::string toKey = "99999999";
        if (!from->empty()) {
            auto k = RangeKey(*from, RangeEnd::First);
            if (!k) {
                PrintError("not a date: '" + *from + "'");
                return kExitUsage;
            }
            fromKey = *k;
        }
        if (!to->empty()) {
            auto k = RangeKey(*to, RangeEnd::Last);
            if (!k) {
                PrintError("not a date: '" + *to + "'");
                return kExitUsage;
            }
            toKey = *k;
        }
        store::CDiaryDataFile file;
        if (int rc = OpenDataFile(ctx, file, true); rc != kExitOk) return rc;
        store::KindCounts counts{};
        if (!file.CountByKind(counts, fromKey, toKey)) {
            ctx.ui.warn(res::Msg::DiaryDataIncorrect);
            return kExitFailure;
        }
        if (ctx.json) {
            nlohmann::json out{{"path", ctx.path()}, {"from", fromKey}, {"to", toKey}};
            for (int k = 0; k < store::kCountedKinds; ++k)
                out["counts"][kKindJsonNames[k]] = counts[k];
            std::cout << out.dump(2) << '\n';
        } else {
            std::cout << ctx.path() << " (" << fromKey << " - " << toKey << ")\n";
            for (int k = 0; k < store::kCountedKinds; ++k) {
                std::string name = kKindNames[k];
                name.resize(16, ' ');
                std::cout << "  " << name << counts[k] << '\n';
            }
        }
        return kExitOk;
    };
}

}  // namespace

void AddFileCommands(std::vector<Command>& table) {
    table.push_back({"create", "create an empty data file", SetupCreate});
    table.push_back({"check", "check that the data file is sound", SetupCheck});
    table.push_back(
        {"stats", "count the records of each kind, optionally in a date range", SetupStats});
}

}  // namespace tl::cli
