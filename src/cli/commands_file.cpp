// Subcommands on the data file as a whole: create, check, stats.

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli.h"
#include "date_arg.h"
#include "store/data_file_key.h"
#include "store/rescue.h"

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

Handler SetupRescue(CLI::App& sub, Context& ctx) {
    auto out = std::make_shared<std::string>();
    sub.add_option("--out", *out,
                   "write the rescued diary here and leave the data file as it is (default: "
                   "in its place, the damaged file kept under a dated name)");
    return [&ctx, out]() {
        const std::string path = ctx.path();
        if (!store::PosixFileSystem::instance().exists(path)) {
            PrintError("cannot open '" + path + "': not found");
            return kExitUsage;
        }
        if (!out->empty() &&
            std::filesystem::weakly_canonical(*out) == std::filesystem::weakly_canonical(path)) {
            PrintError("--out names the damaged file itself");
            return kExitUsage;
        }
        return PrintRescue(ctx, store::Rescue({path, *out}, ctx.ui));
    };
}

}  // namespace

int PrintRescue(Context& ctx, const store::RescueResult& r) {
    if (r.status == 2) return kExitFailure;
    if (r.status != 1) return kExitFailure;
    if (ctx.json) {
        nlohmann::json o{{"rescued", r.rescuedPath},
                         {"damaged_kept", r.damagedKeptPath},
                         {"damaged_units", r.damagedUnits},
                         {"lost_dates", nlohmann::json::array()}};
        for (int k = 1; k < store::kCountedKinds; ++k) o["kept"][kKindJsonNames[k]] = r.kept[k];
        for (const store::Date& d : r.lostDates) o["lost_dates"].push_back(store::DateText(d));
        std::cout << o.dump(2) << '\n';
        return kExitOk;
    }
    std::cout << res::FormatText(res::Msg::RescueDone, {r.rescuedPath, r.damagedKeptPath})
              << "\nkept:\n";
    for (int k = 1; k < store::kCountedKinds; ++k) {
        std::string name = kKindNames[k];
        name.resize(16, ' ');
        std::cout << "  " << name << r.kept[k] << '\n';
    }
    std::cout << "damaged units: " << r.damagedUnits << '\n';
    if (!r.lostDates.empty()) {
        std::cout << "dates that lost something:";
        for (const store::Date& d : r.lostDates) std::cout << ' ' << store::DateText(d);
        std::cout << '\n';
    }
    return kExitOk;
}

void AddFileCommands(std::vector<Command>& table) {
    table.push_back({"create", "create an empty data file", SetupCreate});
    table.push_back({"check", "check that the data file is sound", SetupCheck});
    table.push_back(
        {"stats", "count the records of each kind, optionally in a date range", SetupStats});
    table.push_back({"rescue", "copy every readable record of a damaged data file into a fresh one",
                     SetupRescue});
}

}  // namespace tl::cli
