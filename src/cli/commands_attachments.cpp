// Subcommands on attachments and sticky notes: attach, attachments,
// extract, detach, sticky, unsticky, stickies.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <tuple>
#include <utility>

#include "cli.h"
#include "date_arg.h"
#include "store/attachment_names.h"
#include "store/codepage.h"
#include "store/file_times.h"

namespace tl::cli {

namespace {

using nlohmann::json;
using store::Utf16ToUtf8;

// An entry holds at most this many attachments; the desktop program checks
// it before attaching, and so does the tool.
constexpr std::size_t kAttachmentsPerEntry = 50;
// The settings dialog's limit for a note's text.
constexpr std::size_t kStickyInputMax = 20;

json AttachmentJson(const store::AttachmentInfo& a) {
    return json{{"date", store::DateText(a.date)},
                {"order", a.order},
                {"name", Utf16ToUtf8(a.name)},
                {"size", a.originalSize},
                {"compressed", a.compressed},
                {"stored_size", a.compressed ? a.storedSize : a.originalSize},
                {"units", a.units},
                {"attributes", a.attributes},
                {"created", a.creationTime},
                {"written", a.writeTime},
                {"accessed", a.accessTime}};
}

void PrintAttachment(const store::AttachmentInfo& a) {
    std::cout << store::DateText(a.date) << " #" << a.order << "  " << Utf16ToUtf8(a.name) << "  "
              << a.originalSize << " bytes" << (a.compressed ? ", compressed" : "") << '\n';
}

json DateJson(bool set, store::Date d) {
    return set ? json(store::DateText(d)) : json(nullptr);
}

json NoteJson(const store::StickyNote& n) {
    return json{{"date", store::DateText(n.date)},
                {"text", Utf16ToUtf8(n.text)},
                {"face", Utf16ToUtf8(n.faceName)},
                {"font_height", n.fontHeight},
                {"font_width", n.fontWidth},
                {"font_weight", n.fontWeight},
                {"italic", n.italic},
                {"text_color", n.textColor},
                {"back_color", n.backColor},
                {"top", n.top},
                {"side", n.side == 0 ? "left" : "right"},
                {"transparency", n.transparency},
                {"blink", n.blink},
                {"blink_from", DateJson(n.startSet, n.start)},
                {"blink_to", DateJson(n.endSet, n.end)}};
}

Handler SetupAttach(CLI::App& sub, Context& ctx) {
    auto date = std::make_shared<std::string>();
    auto files = std::make_shared<std::vector<std::string>>();
    sub.add_option("DATE", *date, "YYYY-MM-DD, YYYY-MM (month note) or YYYY (year note)")
        ->required();
    sub.add_option("FILE", *files, "files to attach, each under the next attachment order")
        ->required();
    return [&ctx, date, files]() {
        std::optional<store::Date> d = DateArgument(*date);
        if (!d) return kExitUsage;
        store::CDiaryDataFile file;
        if (int rc = OpenForChange(ctx, file); rc != kExitOk) return rc;
        json out = json::array();
        int rc = kExitOk;
        for (const std::string& path : *files) {
            if (file.ListAttachments(*d).size() >= kAttachmentsPerEntry) {
                PrintError("cannot attach '" + path + "': an entry holds at most 50 attachments");
                rc = kExitFailure;
                break;
            }
            store::AttachmentInfo info;
            if (!file.AttachFile(path, *d, file.MaxAttachmentOrder(*d) + 1, &info)) {
                rc = kExitFailure;
                continue;
            }
            if (ctx.json)
                out.push_back(AttachmentJson(info));
            else
                PrintAttachment(info);
        }
        if (ctx.json) std::cout << out.dump(2) << '\n';
        return rc;
    };
}

Handler SetupAttachments(CLI::App& sub, Context& ctx) {
    auto date = std::make_shared<std::string>();
    sub.add_option("DATE", *date, "YYYY-MM-DD, YYYY-MM or YYYY")->required();
    return [&ctx, date]() {
        std::optional<store::Date> d = DateArgument(*date);
        if (!d) return kExitUsage;
        store::CDiaryDataFile file;
        if (int rc = OpenDataFile(ctx, file, true); rc != kExitOk) return rc;
        std::vector<store::AttachmentInfo> list = file.ListAttachments(*d);
        std::stable_sort(list.begin(), list.end(),
                         [](const auto& a, const auto& b) { return a.order < b.order; });
        if (ctx.json) {
            json out = json::array();
            for (const auto& a : list) out.push_back(AttachmentJson(a));
            std::cout << out.dump(2) << '\n';
        } else {
            for (const auto& a : list) PrintAttachment(a);
        }
        return kExitOk;
    };
}

// Writes the bytes to a new file beside target, gives it the record's times
// and read-only bit, then renames it over target: a failed extract leaves no
// half-written file.
bool WriteExtracted(const std::string& target, const std::vector<std::uint8_t>& data,
                    const store::AttachmentInfo& info) {
    std::string temp = target + ".tl-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = true;
    for (std::size_t done = 0; ok && done < data.size();) {
        const ssize_t w = ::write(fd, data.data() + done, data.size() - done);
        if (w < 0 && errno == EINTR) continue;
        ok = w > 0;
        if (ok) done += static_cast<std::size_t>(w);
    }
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::chmod(temp.c_str(), 0644) == 0;
    ok = ok && store::ApplyFileTimes(temp, {info.creationTime, info.writeTime, info.accessTime});
    ok = ok && store::ApplyAttributes(temp, info.attributes);
    ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

Handler SetupExtract(CLI::App& sub, Context& ctx) {
    auto date = std::make_shared<std::string>();
    auto order = std::make_shared<std::uint32_t>(0);
    auto output = std::make_shared<std::string>();
    sub.add_option("DATE", *date, "YYYY-MM-DD, YYYY-MM or YYYY")->required();
    sub.add_option("ORDER", *order, "the attachment's order number")
        ->required()
        ->check(CLI::PositiveNumber);
    sub.add_option("-o,--output", *output,
                   "file or folder to write to (default: the stored name in the current folder)");
    return [&ctx, date, order, output]() {
        std::optional<store::Date> d = DateArgument(*date);
        if (!d) return kExitUsage;
        store::CDiaryDataFile file;
        if (int rc = OpenDataFile(ctx, file, true); rc != kExitOk) return rc;
        store::AttachmentInfo info;
        const std::uint64_t unit = file.FindAttachment(0, *d, *order, &info);
        if (unit == 0) {
            PrintError("no attachment #" + std::to_string(*order) + " on " + store::DateText(*d));
            return kExitFailure;
        }
        std::vector<std::uint8_t> data;
        if (!file.ReadAttachmentData(unit, data)) return kExitFailure;

        // The stored name is untrusted: only its safe form names a file.
        namespace fs = std::filesystem;
        const std::string safeName = Utf16ToUtf8(store::SafeFileName(info.name));
        std::string target = safeName;
        std::error_code ec;
        if (!output->empty())
            target =
                fs::is_directory(*output, ec) ? (fs::path(*output) / safeName).string() : *output;
        if (fs::exists(fs::symlink_status(target, ec))) {
            if (fs::is_directory(target, ec)) {
                PrintError("cannot write '" + target + "': a folder is in the way");
                return kExitFailure;
            }
            if (!ctx.ui.askYesNo("'" + target + "' exists. Replace it?")) return kExitFailure;
        }
        if (!WriteExtracted(target, data, info)) {
            PrintError("cannot write '" + target + "'");
            return kExitFailure;
        }
        if (ctx.json) {
            json out = AttachmentJson(info);
            out["path"] = target;
            std::cout << out.dump(2) << '\n';
        } else {
            std::cout << "extracted " << target << " (" << data.size() << " bytes)\n";
        }
        return kExitOk;
    };
}

Handler SetupDetach(CLI::App& sub, Context& ctx) {
    auto date = std::make_shared<std::string>();
    auto order = std::make_shared<std::uint32_t>(0);
    sub.add_option("DATE", *date, "YYYY-MM-DD, YYYY-MM or YYYY")->required();
    sub.add_option("ORDER", *order, "the attachment's order number")
        ->required()
        ->check(CLI::PositiveNumber);
    return [&ctx, date, order]() {
        std::optional<store::Date> d = DateArgument(*date);
        if (!d) return kExitUsage;
        store::CDiaryDataFile file;
        if (int rc = OpenForChange(ctx, file); rc != kExitOk) return rc;
        if (!file.DeleteAttachment(*d, *order)) {
            PrintError("no attachment #" + std::to_string(*order) + " on " + store::DateText(*d));
            return kExitFailure;
        }
        if (ctx.json)
            std::cout
                << json{{"date", store::DateText(*d)}, {"order", *order}, {"detached", true}}.dump()
                << '\n';
        else
            std::cout << "detached " << store::DateText(*d) << " #" << *order << '\n';
        return kExitOk;
    };
}

// A new note as the desktop program puts one: the sticky note defaults of
// the settings, the entry's title as text, else the date written out.
store::StickyNote NewNote(store::CDiaryDataFile& file, store::Date date) {
    store::StickyNote n;
    n.date = date;
    n.faceName = u"Meiryo";
    n.fontHeight = 12;
    n.fontWeight = 400;
    n.backColor = 0x80FFFF;
    store::EntryHeader header;
    if (file.ReadEntryHeader(date, &header) && !header.title.empty()) {
        n.text = header.title.substr(0, store::kStickyTextMax);
        return n;
    }
    char buf[16];
    if (date.month == 0)
        std::snprintf(buf, sizeof buf, "%04d", date.year);
    else if (date.day == 0)
        std::snprintf(buf, sizeof buf, "%02d-%04d", date.month, date.year);
    else
        std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", date.month, date.day, date.year);
    n.text = store::Utf8ToUtf16(buf);
    return n;
}

// How a note looks and where it sits, as the desktop's dialogs and
// dragging set it; what is not given stays as it is.
struct NoteLook {
    std::optional<std::string> side, color, background, blink, from, to;
    std::optional<int> top, transparency;
};

// 0 when applied; else the exit code (told why).
int ApplyLook(const NoteLook& look, store::StickyNote& note) {
    if (look.side) note.side = *look.side == "right" ? 1 : 0;
    if (look.top) note.top = *look.top;
    if (look.transparency) note.transparency = static_cast<std::uint8_t>(*look.transparency);
    for (const auto& [given, target] :
         {std::pair{&look.color, &note.textColor}, std::pair{&look.background, &note.backColor}}) {
        if (!*given) continue;
        const std::optional<std::uint32_t> color = ParseColor(**given);
        if (!color) {
            PrintError("'" + **given + "' is not a colour; give it as #RRGGBB");
            return kExitUsage;
        }
        *target = *color;
    }
    if (look.blink) note.blink = *look.blink == "none" ? 0 : *look.blink == "text" ? 1 : 2;
    for (const auto& [given, set, day] : {std::tuple{&look.from, &note.startSet, &note.start},
                                          std::tuple{&look.to, &note.endSet, &note.end}}) {
        if (!*given) continue;
        *set = !(*given)->empty();
        *day = {};
        if (!*set) continue;
        const std::optional<store::Date> d = DateArgument(**given);
        if (!d) return kExitUsage;
        if (d->day == 0) {
            PrintError("a blink term runs between days: give YYYY-MM-DD");
            return kExitUsage;
        }
        *day = *d;
    }
    if (note.startSet && note.endSet && store::DateText(note.start) > store::DateText(note.end)) {
        PrintError(std::string(res::Text(res::Msg::BlinkTermOrder)));
        return kExitUsage;
    }
    return kExitOk;
}

Handler SetupSticky(CLI::App& sub, Context& ctx) {
    auto date = std::make_shared<std::string>();
    auto text = std::make_shared<std::string>();
    auto look = std::make_shared<NoteLook>();
    sub.add_option("DATE", *date, "YYYY-MM-DD, YYYY-MM or YYYY")->required();
    CLI::Option* textOption = sub.add_option("--text", *text,
                                             "the note's text (at most 20 characters); a new "
                                             "note otherwise shows the entry's title or the date");
    sub.add_option("--side", look->side, "the main window's edge it sticks to: left or right")
        ->check(CLI::IsMember({"left", "right"}));
    sub.add_option("--top", look->top, "pixels from the top of the window's edge")
        ->check(CLI::Range(0, 10000));
    sub.add_option("--color", look->color, "the text colour, #RRGGBB");
    sub.add_option("--background", look->background, "the background colour, #RRGGBB");
    sub.add_option("--transparency", look->transparency,
                   "the note's own translucency in percent, 0-99")
        ->check(CLI::Range(0, 99));
    sub.add_option("--blink", look->blink, "none, text or all (text and background)")
        ->check(CLI::IsMember({"none", "text", "all"}));
    sub.add_option("--from", look->from, "first day it blinks, YYYY-MM-DD ('' for none)");
    sub.add_option("--to", look->to, "last day it blinks, YYYY-MM-DD ('' for none)");
    return [&ctx, date, text, textOption, look]() {
        std::optional<store::Date> d = DateArgument(*date);
        if (!d) return kExitUsage;
        store::CDiaryDataFile file;
        if (int rc = OpenForChange(ctx, file); rc != kExitOk) return rc;
        store::StickyNote note;
        if (!file.FindStickyNote(*d, &note)) note = NewNote(file, *d);
        if (int rc = ApplyLook(*look, note); rc != kExitOk) return rc;
        if (textOption->count() > 0) {
            note.text = store::Utf8ToUtf16(*text);
            if (note.text.empty()) {
                ctx.ui.warn(res::Msg::StickyTextEmpty);
                return kExitFailure;
            }
            if (note.text.size() > kStickyInputMax) {
                ctx.ui.warn(res::Msg::StickyTextTooLong);
                return kExitFailure;
            }
        }
        file.BeginStickyNoteSaves();
        if (!file.SaveStickyNote(note)) return kExitFailure;
        if (ctx.json)
            std::cout << NoteJson(note).dump(2) << '\n';
        else
            std::cout << store::DateText(note.date) << "  " << Utf16ToUtf8(note.text) << '\n';
        return kExitOk;
    };
}

Handler SetupUnsticky(CLI::App& sub, Context& ctx) {
    auto date = std::make_shared<std::string>();
    sub.add_option("DATE", *date, "YYYY-MM-DD, YYYY-MM or YYYY")->required();
    return [&ctx, date]() {
        std::optional<store::Date> d = DateArgument(*date);
        if (!d) return kExitUsage;
        store::CDiaryDataFile file;
        if (int rc = OpenForChange(ctx, file); rc != kExitOk) return rc;
        if (!file.RemoveStickyNote(*d)) {
            PrintError("no sticky note on " + store::DateText(*d));
            return kExitFailure;
        }
        if (ctx.json)
            std::cout << json{{"date", store::DateText(*d)}, {"removed", true}}.dump() << '\n';
        else
            std::cout << "removed the sticky note of " << store::DateText(*d) << '\n';
        return kExitOk;
    };
}

Handler SetupStickies(CLI::App&, Context& ctx) {
    return [&ctx]() {
        store::CDiaryDataFile file;
        if (int rc = OpenDataFile(ctx, file, true); rc != kExitOk) return rc;
        // Every stored note, not only those the desktop shows; nothing is
        // rewritten.
        json out = json::array();
        store::StickyNote n;
        std::uint32_t units = 0;
        for (std::uint64_t u = file.ReadNextStickyNote(0, n, &units); u != 0;
             u = file.ReadNextStickyNote(u + units, n, &units)) {
            if (ctx.json)
                out.push_back(NoteJson(n));
            else
                std::cout << store::DateText(n.date) << "  " << Utf16ToUtf8(n.text) << '\n';
        }
        if (ctx.json) std::cout << out.dump(2) << '\n';
        return kExitOk;
    };
}

}  // namespace

void AddAttachmentCommands(std::vector<Command>& table) {
    table.push_back({"attach", "attach files to the entry of a date", SetupAttach});
    table.push_back({"attachments", "list the attachments of a date", SetupAttachments});
    table.push_back({"extract", "write an attachment out to a file", SetupExtract});
    table.push_back({"detach", "delete an attachment", SetupDetach});
    table.push_back({"sticky", "put a sticky note on a date or change its text", SetupSticky});
    table.push_back({"unsticky", "peel off the sticky note of a date", SetupUnsticky});
    table.push_back({"stickies", "list the stored sticky notes", SetupStickies});
}

}  // namespace tl::cli
