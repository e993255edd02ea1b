#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "attachment_names.h"
#include "codepage.h"
#include "compression.h"
#include "diary_data_file.h"
#include "file_times.h"
#include "support/data_file_fixture.h"
#include "support/temp_dir.h"

namespace tl::store {
namespace {

using testing::MemDataFile;
using testing::TempDir;

const Date kDay{2024, 3, 5};

std::vector<std::uint8_t> Noise(std::size_t n, unsigned seed = 7) {
    std::mt19937 gen(seed);
    std::vector<std::uint8_t> v(n);
    for (auto& b : v) b = static_cast<std::uint8_t>(gen());
    return v;
}

std::string WriteFile(const TempDir& dir, const std::string& name,
                      const std::vector<std::uint8_t>& bytes) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

// An attachment record laid out by hand from the wire format, so that the
// readers are checked against the format and not against the writer.
std::vector<std::uint8_t> AttachmentImage(Date date, std::uint32_t order, std::u16string_view name,
                                          std::uint64_t originalSize, bool compressed,
                                          std::uint64_t storedField,
                                          const std::vector<std::uint8_t>& data,
                                          std::uint32_t units = 0) {
    if (units == 0) units = static_cast<std::uint32_t>((data.size() - 1) / kUnitSize + 6);
    auto image = testing::RecordImage(kKindAttachment, date.year, date.month, date.day, units, 0);
    PutU32(&image[24], order);
    PutU64(&image[32], originalSize);
    image[72] = compressed ? 1 : 0;
    PutU64(&image[80], storedField);
    for (std::size_t i = 0; i < name.size(); ++i) PutU16(&image[128 + 2 * i], name[i]);
    std::copy(data.begin(), data.begin() + std::min(data.size(), image.size() - 640),
              image.begin() + 640);
    return image;
}

class AttachmentTest : public ::testing::Test {
protected:
    MemDataFile d;
    TempDir dir;
    CDiaryDataFile& f = *d.file;

    std::uint64_t attach(const std::string& path, std::uint32_t order, Date date = kDay) {
        AttachmentInfo info;
        return f.AttachFile(path, date, order, &info) ? info.unit : 0;
    }
    std::vector<std::uint8_t> read(std::uint64_t unit) {
        std::vector<std::uint8_t> data;
        EXPECT_EQ(f.ReadAttachmentData(unit, data), 1);
        return data;
    }
};

TEST_F(AttachmentTest, AttachedFileRoundTripsWithItsStatusAndRecordLayout) {
    const auto bytes = Noise(3000);
    const std::string path = WriteFile(dir, "notes.txt", bytes);
    ::chmod(path.c_str(), 0444);
    AttachmentInfo info;
    ASSERT_EQ(f.AttachFile(path, kDay, 3, &info), 1);
    const auto status = QueryFileStatus(path);
    ASSERT_TRUE(status);
    EXPECT_EQ(info.name, u"notes.txt");
    EXPECT_EQ(info.order, 3u);
    EXPECT_EQ(info.originalSize, 3000u);
    EXPECT_TRUE(info.compressed);
    EXPECT_EQ(info.units, (info.storedSize - 1) / 128 + 6);
    EXPECT_EQ(info.writeTime, status->times.write);
    EXPECT_EQ(info.accessTime, status->times.access);
    EXPECT_EQ(info.creationTime, status->times.creation);
    EXPECT_EQ(info.attributes, kAttrArchive | kAttrReadOnly);

    d.reopen();
    const auto list = f.ListAttachments(kDay);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].unit, info.unit);
    EXPECT_EQ(list[0].storedSize, info.storedSize);
    EXPECT_EQ(list[0].writeTime, info.writeTime);
    EXPECT_EQ(read(info.unit), bytes);
    EXPECT_TRUE(f.ListAttachments({2024, 3, 0}).empty()) << "the month note is another date";

    // The stored bytes sit where the format puts them.
    std::vector<std::uint8_t> raw(info.units * kUnitSize);
    ASSERT_EQ(f.ReadBytes(info.unit, raw.data(), raw.size()), raw.size());
    EXPECT_EQ(GetU32(&raw[24]), 3u);
    EXPECT_EQ(GetU64(&raw[32]), 3000u);
    EXPECT_EQ(raw[64], 0x21);
    EXPECT_EQ(raw[72], 1);
    EXPECT_EQ(GetU64(&raw[80]), info.storedSize);
    EXPECT_EQ(GetText(&raw[128], 256), u"notes.txt");
    auto inflated = DecompressPayload(std::span(raw).subspan(640, info.storedSize), 3000, d.ui);
    ASSERT_TRUE(inflated);
    EXPECT_EQ(*inflated, bytes);
}

TEST_F(AttachmentTest, ArchivesAreStoredAsTheyAreAndUnitsFollowTheStoredSize) {
    // 1 to 128 stored bytes take 6 units, 129 take 7, compressed or not.
    struct Case {
        const char* name;
        std::size_t size;
        bool compressed;
        std::uint32_t units;
    } cases[] = {{"photo.ZIP", 1, false, 6},  {"photo.zip", 128, false, 6},
                 {"a.Lzh", 129, false, 7},    {"photo.jpg", 1, true, 6},
                 {"x.zip.txt", 200, true, 7}, {"archive.zipx", 20, true, 6}};
    std::uint32_t order = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto bytes = Noise(c.size, order);
        AttachmentInfo info;
        ASSERT_EQ(f.AttachFile(WriteFile(dir, c.name, bytes), kDay, order++, &info), 1);
        EXPECT_EQ(info.compressed, c.compressed);
        EXPECT_EQ(info.units, c.units);
        EXPECT_EQ(read(info.unit), bytes);
        if (!c.compressed) {
            EXPECT_EQ(info.storedSize, 0u);
            std::vector<std::uint8_t> raw(info.units * kUnitSize);
            ASSERT_EQ(f.ReadBytes(info.unit, raw.data(), raw.size()), raw.size());
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), raw.begin() + 640));
        }
    }
}

TEST_F(AttachmentTest, RefusedFilesLeaveTheDataFileUnchanged) {
    const std::string empty = WriteFile(dir, "empty.txt", {});
    const std::string tooBig = (dir / "big.bin").string();
    std::ofstream(tooBig).close();
    std::filesystem::resize_file(tooBig, 10'000'000);
    const std::string folder = (dir / "folder.txt").string();
    std::filesystem::create_directory(folder);
    const std::string missing = (dir / "missing.txt").string();
    const std::vector<std::uint8_t> before = d.raw();

    EXPECT_EQ(f.AttachFile(empty, kDay, 1), 0);
    EXPECT_EQ(f.AttachFile(tooBig, kDay, 1), 0);
    EXPECT_EQ(f.AttachFile(folder, kDay, 1), 0);
    EXPECT_EQ(f.AttachFile(missing, kDay, 1), 0);
    EXPECT_EQ(d.ui.warnings(), (std::vector<std::string>{
                                   "Empty file can not be attached.",
                                   "10M bytes or more files can not be attached.",
                                   "[" + folder + "]s not a file.\nAttachment failure.",
                                   "File read failed.(" + missing + ")",
                               }));
    EXPECT_EQ(d.raw(), before);
}

TEST_F(AttachmentTest, LargestAcceptedFileIsOneByteBelowTheLimit) {
    const std::string path = (dir / "big.bin").string();
    std::ofstream(path).close();
    std::filesystem::resize_file(path, 9'999'999);
    AttachmentInfo info;
    ASSERT_EQ(f.AttachFile(path, kDay, 1, &info), 1);
    std::vector<std::uint8_t> data;
    ASSERT_EQ(f.ReadAttachmentData(info.unit, data), 1);
    EXPECT_EQ(data.size(), 9'999'999u);
    EXPECT_EQ(std::count(data.begin(), data.end(), 0), 9'999'999);
}

TEST_F(AttachmentTest, HiddenFilesKeepTheirNameAndAttribute) {
    AttachmentInfo info;
    ASSERT_EQ(f.AttachFile(WriteFile(dir, ".profile", {1, 2, 3}), kDay, 1, &info), 1);
    EXPECT_EQ(info.name, u".profile");
    EXPECT_EQ(info.attributes, kAttrArchive | kAttrHidden);
}

TEST_F(AttachmentTest, OrdersNamesAndRanksOfADate) {
    // Orders 1, 2, 4, 5 after deleting 3; two a.txt at 2 and 5.
    const char* names[] = {"b.txt", "a.txt", "c.txt", "A.txt", "a.txt"};
    // Each file sits in a folder of its own, so that names can repeat.
    for (std::uint32_t order = 1; order <= 5; ++order) {
        std::filesystem::create_directory(dir / std::to_string(order));
        ASSERT_NE(
            attach(WriteFile(dir, std::to_string(order) + "/" + names[order - 1], {1}), order), 0u);
    }
    ASSERT_NE(attach(WriteFile(dir, "other.txt", {1}), 9, {2024, 3, 6}), 0u);
    ASSERT_EQ(f.DeleteAttachment(kDay, 3), 1);
    EXPECT_EQ(f.DeleteAttachment(kDay, 3), 0);
    EXPECT_EQ(f.DeleteAttachment(kDay, 0), 0) << "order 0 names no attachment";

    EXPECT_EQ(f.MaxAttachmentOrder(kDay), 5u);
    EXPECT_EQ(f.MaxAttachmentOrder({2024, 3, 7}), 0u);
    EXPECT_EQ(f.SameNameRank(kDay, 5, u"a.txt"), 2u);
    EXPECT_EQ(f.SameNameRank(kDay, 2, u"a.txt"), 1u);
    EXPECT_EQ(f.SameNameRank(kDay, 9, u"A.txt"), 2u);
    EXPECT_EQ(f.AttachmentNameExists(kDay, u"A.txt"), 1);
    EXPECT_EQ(f.AttachmentNameExists(kDay, u"c.txt"), 0) << "order 3 was deleted";
    EXPECT_EQ(f.AttachmentNameExists(kDay, u"B.TXT"), 0) << "names compare case-sensitively";
    EXPECT_EQ(f.AttachmentNameExists(kDay, u"other.txt"), 0);

    AttachmentInfo info;
    const std::uint64_t u = f.FindAttachment(0, kDay, 5, &info);
    ASSERT_NE(u, 0u);
    EXPECT_EQ(info.name, u"a.txt");
    EXPECT_EQ(f.FindAttachment(u + info.units, kDay, 5), 0u);
}

TEST_F(AttachmentTest, FullLengthNameFillsTheFieldAndReadsBackWhole) {
    // No file system here takes a 256-character name, so the record is made
    // by hand.
    std::u16string name(252, u'n');
    name += u".txt";
    const std::vector<std::uint8_t> payload{'x', 'y'};
    ASSERT_EQ(f.WriteRecord(AttachmentImage(kDay, 1, name, 2, false, 0, payload)), 1);
    AttachmentInfo info;
    const std::uint64_t u = f.FindAttachment(0, kDay, 1, &info);
    ASSERT_NE(u, 0u);
    EXPECT_EQ(info.name, name);
    EXPECT_EQ(read(u), payload);
}

TEST_F(AttachmentTest, UntrustedSizesFailCleanly) {
    const auto stream = *CompressPayload(Noise(1000), d.ui);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> image;
    } cases[] = {
        {"stored size beyond the record", AttachmentImage(kDay, 1, u"a", 1000, true, 5000, stream)},
        {"stored size near 2^64", AttachmentImage(kDay, 2, u"b", 1000, true, ~0ULL - 100, stream)},
        {"original size of 4 GB, stored as is",
         AttachmentImage(kDay, 3, u"c", 4'000'000'000ULL, false, 0, stream)},
        {"original size beyond the record",
         AttachmentImage(kDay, 4, u"d", 9'000'000, false, 0, stream)},
        {"original size of 4 GB, compressed",
         AttachmentImage(kDay, 5, u"e", 4'000'000'000ULL, true, stream.size(), stream)},
        {"stream inflating past its original size",
         AttachmentImage(kDay, 6, u"f", 999, true, stream.size(), stream)},
        {"no data unit", AttachmentImage(kDay, 7, u"g", 1, false, 0, {1}, 5)},
        {"empty stream", AttachmentImage(kDay, 8, u"h", 10, true, 0, {1})},
    };
    for (auto& c : cases) ASSERT_EQ(f.WriteRecord(c.image), 1) << c.what;
    ASSERT_EQ(f.Validate(), 1);
    for (const AttachmentInfo& a : f.ListAttachments(kDay)) {
        SCOPED_TRACE(cases[a.order - 1].what);
        std::vector<std::uint8_t> data{42};
        d.ui.clear();
        EXPECT_EQ(f.ReadAttachmentData(a.unit, data), 0);
        EXPECT_EQ(data, std::vector<std::uint8_t>{42}) << "output untouched";
        EXPECT_EQ(d.ui.warnings().size(), 1u);
    }
    // Units that are not an attachment record.
    std::vector<std::uint8_t> data;
    EXPECT_EQ(f.ReadAttachmentData(0, data), 0);
    EXPECT_EQ(f.ReadAttachmentData(f.TotalUnits(), data), 0);
    EXPECT_EQ(f.ReadAttachmentData(f.TotalUnits() + 1'000'000, data), 0);
}

TEST_F(AttachmentTest, CorruptStreamFailsOnlyItsOwnAttachment) {
    const auto a = Noise(5000, 1), b = Noise(5000, 2);
    const std::uint64_t ua = attach(WriteFile(dir, "a.txt", a), 1);
    const std::uint64_t ub = attach(WriteFile(dir, "b.txt", b), 2);
    ASSERT_NE(ua, 0u);
    ASSERT_NE(ub, 0u);
    d.raw()[(ua + 5) * kUnitSize + 200] ^= 0x55;  // ciphertext: garbles a block
    std::vector<std::uint8_t> data;
    EXPECT_EQ(f.ReadAttachmentData(ua, data), 0);
    EXPECT_EQ(d.ui.warnings(), std::vector<std::string>{"Failed to decompress."});
    EXPECT_EQ(read(ub), b);
    EXPECT_EQ(f.Validate(), 1);
    EXPECT_EQ(f.ListAttachments(kDay).size(), 2u);
}

TEST_F(AttachmentTest, WriteFailureIsToldAndLeavesNoRecord) {
    d.fs.setCapacity(d.raw().size() + 10 * kUnitSize);
    EXPECT_EQ(f.AttachFile(WriteFile(dir, "n.bin", Noise(5000)), kDay, 1), 0);
    ASSERT_FALSE(d.ui.warnings().empty());
    EXPECT_EQ(d.ui.warnings().back(), "File write failed.");
    EXPECT_EQ(f.ListAttachments(kDay).size(), 0u);
    EXPECT_EQ(f.Validate(), 1);
}

TEST_F(AttachmentTest, ReadingDataIsOneBoundedRead) {
    // 200 KB of text-like data: the read must not be dominated by anything
    // but deciphering and inflating.
    std::vector<std::uint8_t> bytes(200'000);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>("diary text "[i % 11]);
    const std::uint64_t u = attach(WriteFile(dir, "t.txt", bytes), 1);
    ASSERT_NE(u, 0u);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 20; ++i) EXPECT_EQ(read(u), bytes);
    const auto each = (std::chrono::steady_clock::now() - start) / 20;
    EXPECT_LT(each, std::chrono::milliseconds(20));
}

TEST_F(AttachmentTest, SealedBytesOpenOnAnotherThreadWholeOrInPart) {
    // Noise barely deflates, as photographs do: a prefix is a part of the
    // stored bytes too.
    const auto text = Noise(300'000, 5);
    const auto noise = Noise(250'000, 3);
    const std::uint64_t compressed = attach(WriteFile(dir, "t.bin", text), 1);
    const std::uint64_t stored = attach(WriteFile(dir, "n.zip", noise), 2);
    ASSERT_NE(compressed, 0u);
    ASSERT_NE(stored, 0u);

    struct Case {
        std::uint64_t unit;
        const std::vector<std::uint8_t>* bytes;
        std::size_t prefix;
    } cases[] = {{compressed, &text, SIZE_MAX}, {compressed, &text, 70'000},
                 {stored, &noise, SIZE_MAX},    {stored, &noise, 70'000},
                 {compressed, &text, 1},        {stored, &noise, 1'000'000}};
    const CBlowfish cipher = f.Cipher();
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "unit " << c.unit << " prefix " << c.prefix);
        SealedAttachment sealed;
        ASSERT_EQ(f.ReadSealedAttachment(c.unit, sealed, c.prefix), SealedResult::Ok);
        EXPECT_EQ(sealed.whole, c.prefix >= c.bytes->size());
        if (!sealed.whole) {
            EXPECT_LT(sealed.units.size(), c.bytes->size() / 2);
        }
        std::vector<std::uint8_t> data;
        SealedResult result = SealedResult::Damaged;
        std::thread([&] { result = OpenSealedAttachment(cipher, sealed, data, c.prefix); }).join();
        ASSERT_EQ(result, SealedResult::Ok);
        const std::size_t n = std::min(c.prefix, c.bytes->size());
        EXPECT_TRUE(std::equal(data.begin(), data.end(), c.bytes->begin(), c.bytes->begin() + n));
        EXPECT_EQ(data.size(), n);
    }
    EXPECT_TRUE(d.ui.warnings().empty()) << "nothing is told on these paths";

    // A garbled stream is told apart from a record that is gone.
    d.raw()[(compressed + 5) * kUnitSize + 300] ^= 0x55;
    SealedAttachment sealed;
    ASSERT_EQ(f.ReadSealedAttachment(compressed, sealed), SealedResult::Ok);
    std::vector<std::uint8_t> data;
    EXPECT_EQ(OpenSealedAttachment(cipher, sealed, data), SealedResult::Undecodable);
    ASSERT_EQ(f.DeleteAttachment(kDay, 2), 1);
    EXPECT_EQ(f.ReadSealedAttachment(stored, sealed), SealedResult::Damaged);
    EXPECT_TRUE(d.ui.warnings().empty());
}

TEST(PictureName, ExtensionsInAnyCase) {
    for (std::u16string_view name : {u"a.bmp", u"a.DIB", u"b.c.Jpg", u"x.jpeg", u"g.GIF", u"p.png",
                                     u"t.tif", u"t.TIFF", u"i.ico"})
        EXPECT_TRUE(IsPictureName(name)) << std::string(name.begin(), name.end());
    for (std::u16string_view name : {u"jpg", u"a.jpgx", u"a.jpg.txt", u"a.", u"", u".png.pdf"})
        EXPECT_FALSE(IsPictureName(name)) << std::string(name.begin(), name.end());
}

TEST(SafeFileName, NamesNeverLeaveTheirFolder) {
    EXPECT_EQ(SafeFileName(u"photo.jpg"), u"photo.jpg");
    EXPECT_EQ(SafeFileName(u".hidden"), u".hidden");
    EXPECT_EQ(SafeFileName(u"..."), u"...");
    EXPECT_EQ(SafeFileName(u"a..b"), u"a..b");
    EXPECT_EQ(SafeFileName(u""), u"_");
    EXPECT_EQ(SafeFileName(u"."), u"_");
    EXPECT_EQ(SafeFileName(u".."), u"_");
    EXPECT_EQ(SafeFileName(u"../../etc/passwd"), u".._.._etc_passwd");
    EXPECT_EQ(SafeFileName(u"/etc/passwd"), u"_etc_passwd");
    EXPECT_EQ(SafeFileName(u"..\\x.txt"), u".._x.txt");
    EXPECT_EQ(SafeFileName(std::u16string(u"a\0b\nc\x7f", 6)), u"a_b_c_");
    EXPECT_EQ(SafeFileName(u"日記.txt"), u"日記.txt");
}

}  // namespace
}  // namespace tl::store
