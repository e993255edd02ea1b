// Subcommands on entries: list, show, put, delete, next, prev, find, weather.

#include <CLI/CLI.hpp>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/delete_entry.h"
#include "cli.h"
#include "date_arg.h"
#include "store/codepage.h"

namespace tl::cli {

std::optional<std::uint32_t> ParseColor(std::string text) {
    if (!text.empty() && text[0] == '#') text.erase(0, 1);
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return std::nullopt;
    const unsigned long rgb = std::stoul(text, nullptr, 16);
    return static_cast<std::uint32_t>((rgb >> 16 & 0xff) | (rgb & 0xff00) | (rgb & 0xff) << 16);
}

std::string ColorText(std::uint32_t c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff);
    return buf;
}

namespace {

using nlohmann::json;
using store::Utf16ToUtf8;
using store::Utf8ToUtf16;

// A handler that needs a date argument and the data file.
struct DateArgs {
    std::string date;
};

std::optional<store::Date> DateOfUnit(store::CDiaryDataFile& file, std::uint64_t unit) {
    auto h = file.ReadRecordHeader(unit);
    if (unit == 0 || !h) return std::nullopt;
    return store::Date{h->year(), h->month(), h->day()};
}

Handler SetupList(CLI::App& sub, Context& ctx) {
    auto year = std::make_shared<int>(0);
    sub.add_option("YEAR", *year, "only this year")->check(CLI::Range(1900, 9999));
    return [&ctx, year]() {
        store::CDiaryDataFile file;
        if (int rc = OpenDataFile(ctx, file, true); rc != kExitOk) return rc;
        struct Row {
            bool entry = false;
            int attachments = 0;
            bool sticky = false;
        };
        std::map<std::string, std::pair<store::Date, Row>> rows;  // by key: date order
        store::RecordWalk walk(file, 0);
        store::RecordRef rec;
        while (walk.next(rec)) {
            const auto& h = rec.header;
            std::uint8_t k = h.kind();
            if (k < store::kKindEntryHeader || k > store::kKindRichText) continue;
            if (*year != 0 && h.year() != *year) continue;
            auto& [date, row] = rows[h.key()];
            date = {h.year(), h.month(), h.day()};
            if (k == store::kKindAttachment)
                ++row.attachments;
            else if (k == store::kKindStickyNote)
                row.sticky = true;
            else
                row.entry = true;
        }
        json out = json::array();
        for (auto& [key, value] : rows) {
            auto& [date, row] = value;
            store::EntryHeader header;
            if (row.entry) file.ReadEntryHeader(date, &header);
            if (ctx.json) {
                out.push_back({{"date", store::DateText(date)},
                               {"title", Utf16ToUtf8(header.title)},
                               {"weather", Utf16ToUtf8(header.weather)},
                               {"attachments", row.attachments},
                               {"sticky", row.sticky}});
            } else {
                std::string line = store::DateText(date);
                line.resize(12, ' ');
                line += Utf16ToUtf8(header.title);
                if (!header.weather.empty()) line += "  (" + Utf16ToUtf8(header.weather) + ")";
                if (row.attachments) line += "  [" + std::to_string(row.attachments) + " attached]";
                if (row.sticky) line += "  [sticky]";
                std::cout << line << '\n';
            }
        }
        if (ctx.json) std::cout << out.dump(2) << '\n';
        return kExitOk;
    };
}

Handler SetupShow(CLI::App& sub, Context& ctx) {
    auto args = std::make_shared<DateArgs>();
    sub.add_option("DATE", args->date, "YYYY-MM-DD, YYYY-MM (month note) or YYYY (year note)")
        ->required();
    return [&ctx, args]() {
        auto date = DateArgument(args->date);
        if (!date) return kExitUsage;
        store::CDiaryDataFile file;
        if (int rc = OpenDataFile(ctx, file, true); rc != kExitOk) return rc;
        store::EntryHeader header;
        std::u16string text;
        bool hasHeader = file.ReadEntryHeader(*date, &header) != 0;
        bool hasText = file.ReadEntryText(*date, text) != 0;
        auto attachments = file.ListAttachments(*date);
        if (!hasHeader && !hasText && attachments.empty()) {
            PrintError("nothing on " + store::DateText(*date));
            return kExitFailure;
        }
        std::vector<std::uint8_t> rtf;
        bool rich = file.ReadEntryRichText(*date, rtf) != 0;
        if (ctx.json) {
            json out{{"date", store::DateText(*date)},
                     {"title", Utf16ToUtf8(header.title)},
                     {"weather", Utf16ToUtf8(header.weather)},
                     {"title_color", ColorText(header.colors.text)},
                     {"title_background", header.colors.backgroundOn
                                              ? json(ColorText(header.colors.background))
                                              : json(nullptr)},
                     {"blink", header.colors.blink},
                     {"text", Utf16ToUtf8(text)},
                     {"rich_text_bytes", rich ? rtf.size() : 0},
                     {"attachments", json::array()}};
            for (const auto& a : attachments)
                out["attachments"].push_back(
                    {{"order", a.order}, {"name", Utf16ToUtf8(a.name)}, {"size", a.originalSize}});
            std::cout << out.dump(2) << '\n';
            return kExitOk;
        }
        std::cout << store::DateText(*date) << "  " << Utf16ToUtf8(header.title);
        if (!header.weather.empty()) std::cout << "  (" << Utf16ToUtf8(header.weather) << ")";
        std::cout << "\n";
        for (const auto& a : attachments)
            std::cout << "  attached " << a.order << ": " << Utf16ToUtf8(a.name) << " ("
                      << a.originalSize << " bytes)\n";
        std::cout << "\n" << Utf16ToUtf8(text) << "\n";
        return kExitOk;
    };
}

Handler SetupPut(CLI::App& sub, Context& ctx) {
    struct Args {
        std::string date;
        std::optional<std::string> title, weather, text, textFile, color, background, blink;
    };
    auto args = std::make_shared<Args>();
    sub.add_option("DATE", args->date, "YYYY-MM-DD, YYYY-MM (month note) or YYYY (year note)")
        ->required();
    sub.add_option("--title", args->title, "the title (at most 64 characters are kept)");
    sub.add_option("--weather", args->weather, "the weather word (at most 10 characters are kept)");
    auto* text = sub.add_option("--text", args->text, "the entry's text");
    auto* file =
        sub.add_option("--text-file", args->textFile, "read the entry's text from a UTF-8 file");
    text->excludes(file);
    sub.add_option("--color", args->color, "the title's colour, #RRGGBB");
    sub.add_option("--background", args->background, "the title's background, #RRGGBB, or none");
    sub.add_option("--blink", args->blink,
                   "none, text (the title blinks) or all (with its background)")
        ->check(CLI::IsMember({"none", "text", "all"}));
    return [&ctx, args]() {
        auto date = DateArgument(args->date);
        if (!date) return kExitUsage;
        std::optional<std::uint32_t> color, background;
        if (args->color && !(color = ParseColor(*args->color))) {
            PrintError("'" + *args->color + "' is not a colour; give it as #RRGGBB");
            return kExitUsage;
        }
        if (args->background && *args->background != "none" &&
            !(background = ParseColor(*args->background))) {
            PrintError("'" + *args->background + "' is not a colour; give it as #RRGGBB or none");
            return kExitUsage;
        }
        std::optional<std::u16string> newText;
        if (args->text) newText = Utf8ToUtf16(*args->text);
        if (args->textFile) {
            std::ifstream in(*args->textFile, std::ios::binary);
            if (!in) {
                PrintError("cannot read '" + *args->textFile + "'");
                return kExitFailure;
            }
            std::stringstream ss;
            ss << in.rdbuf();
            newText = Utf8ToUtf16(ss.str());
        }
        store::CDiaryDataFile f;
        if (int rc = OpenForChange(ctx, f); rc != kExitOk) return rc;
        // Fields not given keep their values; the formatting survives as
        // long as the text is not replaced.
        store::EntryHeader header;
        f.ReadEntryHeader(*date, &header);
        if (args->title) header.title = Utf8ToUtf16(*args->title).substr(0, store::kTitleMax);
        if (args->weather)
            header.weather = Utf8ToUtf16(*args->weather).substr(0, store::kWeatherMax);
        if (color) header.colors.text = *color;
        if (args->background) {
            header.colors.backgroundOn = background ? 1 : 0;
            header.colors.background = background.value_or(0);
        }
        if (args->blink)
            header.colors.blink = *args->blink == "none" ? 0 : *args->blink == "text" ? 1 : 2;
        std::u16string oldText;
        f.ReadEntryText(*date, oldText);
        std::vector<std::uint8_t> rtf;
        bool keepRich = !newText && f.ReadEntryRichText(*date, rtf) != 0;
        int saved = keepRich ? f.SaveEditorEntry(*date, header, oldText, rtf)
                             : f.SaveEntry(*date, header, newText ? *newText : oldText);
        if (!saved) return kExitFailure;
        if (ctx.json)
            std::cout << json{{"date", store::DateText(*date)}, {"saved", true}}.dump() << '\n';
        return kExitOk;
    };
}

Handler SetupDelete(CLI::App& sub, Context& ctx) {
    auto args = std::make_shared<DateArgs>();
    auto attachments = std::make_shared<bool>(false);
    sub.add_option("DATE", args->date, "the entry's date")->required();
    sub.add_flag("--attachments", *attachments, "delete the attached files too");
    return [&ctx, args, attachments]() {
        auto date = DateArgument(args->date);
        if (!date) return kExitUsage;
        store::CDiaryDataFile f;
        if (int rc = OpenForChange(ctx, f); rc != kExitOk) return rc;
        std::size_t found = 0;
        try {
            found = app::DeleteEntry(f, *date, {.attachments = *attachments, .stickyNote = true});
        } catch (const store::FileError& e) {
            PrintError(e.what());
            return kExitFailure;
        }
        if (found == 0) {
            PrintError("nothing to delete on " + store::DateText(*date));
            return kExitFailure;
        }
        if (ctx.json)
            std::cout << json{{"date", store::DateText(*date)}, {"deleted", found}}.dump() << '\n';
        return kExitOk;
    };
}

Handler SetupStep(CLI::App& sub, Context& ctx, bool forward) {
    auto args = std::make_shared<DateArgs>();
    sub.add_option("DATE", args->date,
                   forward ? "start after this date (default: the first entry)"
                           : "start before this date (default: the last entry)");
    return [&ctx, args, forward]() {
        store::Date from = forward ? store::Date{0, 1, 1} : store::Date{9999, 12, 31};
        if (!args->date.empty()) {
            auto date = DateArgument(args->date);
            if (!date) return kExitUsage;
            from = *date;
        }
        store::CDiaryDataFile f;
        if (int rc = OpenDataFile(ctx, f, true); rc != kExitOk) return rc;
        auto found =
            DateOfUnit(f, forward ? f.NextDateWithContent(from) : f.PreviousDateWithContent(from));
        if (ctx.json) {
            std::cout
                << json{{"date", found ? json(store::DateText(*found)) : json(nullptr)}}.dump()
                << '\n';
        } else if (found) {
            std::cout << store::DateText(*found) << '\n';
        }
        if (!found) {
            if (!ctx.json) PrintError(forward ? "no later entry" : "no earlier entry");
            return kExitFailure;
        }
        return kExitOk;
    };
}

Handler SetupFind(CLI::App& sub, Context& ctx) {
    struct Args {
        std::string text;
        std::optional<std::string> andText, orText, from;
        bool exclude = false, matchCase = false, backward = false, all = false;
    };
    auto args = std::make_shared<Args>();
    sub.add_option("TEXT", args->text, "the text to find in titles, texts and attachment names")
        ->required();
    auto* a = sub.add_option("--and", args->andText, "a second text that must also occur");
    auto* o = sub.add_option("--or", args->orText, "a second text that may occur instead");
    a->excludes(o);
    sub.add_flag("--exclude", args->exclude, "with --and: the second text must not occur");
    sub.add_flag("--case", args->matchCase, "match case");
    sub.add_option("--from", args->from, "start after (or, with --backward, before) this date");
    sub.add_flag("--backward", args->backward, "search towards earlier dates");
    sub.add_flag("--all", args->all, "list every matching date, not just the nearest");
    return [&ctx, args]() {
        if (args->exclude && !args->andText) {
            PrintError("--exclude needs --and");
            return kExitUsage;
        }
        store::Date from = args->backward ? store::Date{9999, 12, 31} : store::Date{0, 1, 1};
        if (args->from) {
            auto date = DateArgument(*args->from);
            if (!date) return kExitUsage;
            from = *date;
        }
        store::CDiaryDataFile f;
        if (int rc = OpenDataFile(ctx, f, true); rc != kExitOk) return rc;
        store::SearchSettings s;
        s.text1 = Utf8ToUtf16(args->text);
        s.andMode = args->andText.has_value();
        s.orMode = args->orText.has_value();
        s.text2 = Utf8ToUtf16(args->andText ? *args->andText : args->orText.value_or(""));
        s.include = !args->exclude;
        f.SetSearchSettings(s);
        json out = json::array();
        auto where = [](std::uint8_t kind) {
            return kind == store::kKindEntryHeader  ? "title"
                   : kind == store::kKindAttachment ? "attachment"
                                                    : "text";
        };
        if (!args->all) {
            const std::uint64_t unit = args->backward ? f.FindPreviousMatch(from, args->matchCase)
                                                      : f.FindNextMatch(from, args->matchCase);
            auto h = f.ReadRecordHeader(unit);
            if (unit == 0 || !h) {
                if (ctx.json) std::cout << out.dump(2) << '\n';
                return kExitFailure;  // like grep: nothing found is exit 1
            }
            const store::Date date{h->year(), h->month(), h->day()};
            if (ctx.json)
                std::cout << json::array(
                                 {{{"date", store::DateText(date)}, {"in", where(h->kind())}}})
                                 .dump(2)
                          << '\n';
            else
                std::cout << store::DateText(date) << "  (" << where(h->kind()) << ")\n";
            return kExitOk;
        }
        // Every matching date: the desktop program's hit list.
        store::MatchScan scan;
        scan.from = from;
        scan.forward = !args->backward;
        scan.matchCase = args->matchCase;
        bool found = false;
        f.FindMatches(scan, [&](store::FindHit&& hit) {
            found = true;
            if (ctx.json) {
                json marks = json::array();
                for (auto [at, length] : hit.marks) marks.push_back({at, length});
                out.push_back({{"date", store::DateText(hit.date)},
                               {"in", where(hit.kind)},
                               {"title", Utf16ToUtf8(hit.title)},
                               {"line", Utf16ToUtf8(hit.line)},
                               {"marks", marks}});
                return;
            }
            std::string line = store::DateText(hit.date) + "  (" + where(hit.kind) + ")  ";
            if (hit.kind != store::kKindEntryHeader && !hit.title.empty())
                line += "[" + Utf16ToUtf8(hit.title) + "]  ";
            std::cout << line << Utf16ToUtf8(hit.line) << '\n';
        });
        if (ctx.json) std::cout << out.dump(2) << '\n';
        return found ? kExitOk : kExitFailure;
    };
}

Handler SetupWeather(CLI::App& sub, Context& ctx) {
    auto set = std::make_shared<std::optional<std::string>>();
    sub.add_option("--set", *set,
                   "the choices, comma-separated (at most 20, each at most 10 characters)");
    return [&ctx, set]() {
        store::CDiaryDataFile f;
        if (int rc = set->has_value() ? OpenForChange(ctx, f) : OpenDataFile(ctx, f, true);
            rc != kExitOk)
            return rc;
        store::WeatherList list;
        if (set->has_value()) {
            std::vector<std::string> parts;
            std::stringstream ss(**set);
            for (std::string item; std::getline(ss, item, ',');) parts.push_back(item);
            if (parts.size() > store::kWeatherChoices) {
                PrintError("at most 20 weather choices");
                return kExitUsage;
            }
            for (std::size_t i = 0; i < parts.size(); ++i)
                list[i] = Utf8ToUtf16(parts[i]).substr(0, store::kWeatherMax);
            if (!f.WriteWeatherList(list)) return kExitFailure;
        } else if (!f.ReadWeatherList(list)) {
            list = store::CDiaryDataFile::DefaultWeatherList();
        }
        json out = json::array();
        for (const auto& w : list) {
            if (ctx.json)
                out.push_back(Utf16ToUtf8(w));
            else if (!w.empty())
                std::cout << Utf16ToUtf8(w) << '\n';
        }
        if (ctx.json) std::cout << out.dump() << '\n';
        return kExitOk;
    };
}

}  // namespace

void AddRecordCommands(std::vector<Command>& table) {
    table.push_back(
        {"list", "list the dates that have entries, attachments or sticky notes", SetupList});
    table.push_back({"show", "show one entry: title, weather, text and attached files", SetupShow});
    table.push_back({"put", "write an entry's title, weather or text", SetupPut});
    table.push_back({"delete", "delete an entry (and with --attachments its files)", SetupDelete});
    table.push_back({"next", "the next date with an entry",
                     [](CLI::App& s, Context& c) { return SetupStep(s, c, true); }});
    table.push_back({"prev", "the previous date with an entry",
                     [](CLI::App& s, Context& c) { return SetupStep(s, c, false); }});
    table.push_back({"find", "find text in titles, texts and attachment names", SetupFind});
    table.push_back({"weather", "show or set the weather choices", SetupWeather});
}

}  // namespace tl::cli
