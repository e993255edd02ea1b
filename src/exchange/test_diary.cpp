#include "test_diary.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "store/codepage.h"
#include "store/data_file_key.h"

namespace tl::exchange::testing {

std::unique_ptr<store::CDiaryDataFile> OpenDiary(const std::filesystem::path& path,
                                                 res::UserInterface& ui, bool readOnly) {
    auto file = std::make_unique<store::CDiaryDataFile>(store::PosixFileSystem::instance(), ui);
    file->SetPath(path.string());
    file->SetKey(store::DeriveDataFileKey());
    if (file->Open(readOnly) != store::OpenResult::Opened || !file->Validate())
        throw std::runtime_error("cannot open " + path.string());
    return file;
}

std::unique_ptr<store::CDiaryDataFile> NewDiary(const std::filesystem::path& path,
                                                res::UserInterface& ui) {
    store::CDiaryDataFile maker(store::PosixFileSystem::instance(), ui);
    maker.SetPath(path.string());
    maker.SetKey(store::DeriveDataFileKey());
    if (!maker.Create()) throw std::runtime_error("cannot create " + path.string());
    return OpenDiary(path, ui);
}

std::u16string TextOf(store::CDiaryDataFile& file, store::Date date) {
    std::u16string text;
    (void)file.ReadEntryText(date, text);
    return text;
}

store::EntryHeader HeaderOf(store::CDiaryDataFile& file, store::Date date) {
    store::EntryHeader h;
    (void)file.ReadEntryHeader(date, &h);
    return h;
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Attach(store::CDiaryDataFile& file, store::Date date, const std::string& name,
            std::string_view bytes, const std::filesystem::path& scratch) {
    std::filesystem::create_directories(scratch);
    const auto path = scratch / name;
    WriteFile(path, bytes);
    if (!file.AttachFile(path.string(), date, file.MaxAttachmentOrder(date) + 1))
        throw std::runtime_error("cannot attach " + name);
    std::filesystem::remove(path);
}

Snapshot Take(store::CDiaryDataFile& file) {
    Snapshot s;
    store::RecordWalk walk(file, 0);
    store::RecordRef rec;
    std::vector<store::Date> headers, attachmentDates;
    while (walk.next(rec)) {
        const store::Date d{rec.header.year(), rec.header.month(), rec.header.day()};
        if (rec.header.kind() == store::kKindEntryHeader) headers.push_back(d);
    }
    for (const store::Date& d : headers) {
        store::EntryHeader h;
        std::u16string text;
        (void)file.ReadEntryHeader(d, &h);
        (void)file.ReadEntryText(d, text);
        s.entries.push_back(store::DateKey(d.year, d.month, d.day) + "|" +
                            store::Utf16ToUtf8(h.title) + "|" + store::Utf16ToUtf8(h.weather) +
                            "|" + store::Utf16ToUtf8(text));
        for (const store::AttachmentInfo& a : file.ListAttachments(d)) {
            std::vector<std::uint8_t> data;
            (void)file.ReadAttachmentData(a.unit, data);
            s.attachments.push_back(store::DateKey(d.year, d.month, d.day) + "|" +
                                    std::string(data.begin(), data.end()));
        }
    }
    std::sort(s.entries.begin(), s.entries.end());
    std::sort(s.attachments.begin(), s.attachments.end());
    return s;
}

}  // namespace tl::exchange::testing
