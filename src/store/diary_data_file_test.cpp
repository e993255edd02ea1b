#include "diary_data_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <map>

#include "data_file_key.h"
#include "mem_file_system.h"
#include "support/data_file_fixture.h"
#include "support/faulty_file_system.h"
#include "support/temp_dir.h"

namespace tl::store {
namespace {

using testing::MemDataFile;

// Deciphers unit n of the raw file bytes.
std::array<std::uint8_t, kUnitSize> PlainUnit(const std::vector<std::uint8_t>& raw, std::size_t n) {
    CBlowfish bf;
    DataFileKey key = DeriveDataFileKey();
    bf.Initialize(reinterpret_cast<const std::uint8_t*>(key.data()), 32);
    std::array<std::uint8_t, kUnitSize> unit{};
    bf.Decrypt(raw.data() + n * kUnitSize, unit.data(), kUnitSize);
    return unit;
}

void PutPlainUnit(std::vector<std::uint8_t>& raw, std::size_t n,
                  std::array<std::uint8_t, kUnitSize> unit) {
    CBlowfish bf;
    DataFileKey key = DeriveDataFileKey();
    bf.Initialize(reinterpret_cast<const std::uint8_t*>(key.data()), 32);
    bf.Encrypt(unit.data(), raw.data() + n * kUnitSize, kUnitSize);
}

TEST(DataFileContainer, CreatedFileIsOneEncipheredHeaderUnitThatValidates) {
    MemDataFile d;
    ASSERT_EQ(d.raw().size(), kUnitSize);
    auto h = PlainUnit(d.raw(), 0);
    EXPECT_EQ(h[0], 255);
    EXPECT_EQ(GetU32(&h[8]), 1u);
    EXPECT_EQ(GetU32(&h[24]), 1u);
    EXPECT_EQ(h[39], 3);
    EXPECT_EQ(h[40], 1);
    EXPECT_EQ(std::memcmp(&h[41], "Mrlwbok", 7), 0);
    EXPECT_EQ(h[48], 1);
    for (std::size_t i : {1, 2, 3, 4, 5, 6, 7, 12, 28, 38, 49, 127}) EXPECT_EQ(h[i], 0) << i;
    // Nothing readable on disk: the header is enciphered.
    EXPECT_EQ(std::search(d.raw().begin(), d.raw().end(), kMagic, kMagic + 7), d.raw().end());
    EXPECT_EQ(d.file->TotalUnits(), 1u);
    EXPECT_EQ(d.file->Validate(), 1);
}

// Each case damages a file holding a few records in one way.
struct Damage {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> apply;
    bool sound;
};

TEST(DataFileContainer, ValidateTellsDamageFromHarmlessDifferences) {
    auto patchUnit = [](std::size_t unit,
                        std::function<void(std::array<std::uint8_t, kUnitSize>&)> f) {
        return [=](std::vector<std::uint8_t>& raw) {
            auto u = PlainUnit(raw, unit);
            f(u);
            PutPlainUnit(raw, unit, u);
        };
    };
    std::vector<Damage> cases = {
        {"untouched", [](auto&) {}, true},
        {"flag byte 48 not 1", patchUnit(0, [](auto& u) { u[48] = 7; }), true},
        {"generation 2", patchUnit(0, [](auto& u) { u[39] = 2; }), true},
        {"kind 255 outside unit 0", patchUnit(1, [](auto& u) { u[0] = 255; }), true},
        {"interrupted growth leaves a longer file",
         [](auto& raw) { raw.resize(raw.size() + 3 * kUnitSize, 0); }, true},
        {"interrupted growth wrote the new record's header",
         [](auto& raw) {
             raw.resize(raw.size() + 3 * kUnitSize, 0);
             std::array<std::uint8_t, kUnitSize> u{};
             u[0] = kKindAttachment;
             PutU32(&u[8], 5);  // the record would have had 5 units
             PutPlainUnit(raw, 7, u);
         },
         true},
        {"total too small by one record (as after an interrupted growth)",
         patchUnit(0, [](auto& u) { PutU32(&u[24], 5); }), true},
        {"total too small by two records", patchUnit(0, [](auto& u) { PutU32(&u[24], 4); }), false},
        {"tail longer than the record it begins with",
         [](auto& raw) {
             raw.resize(raw.size() + 3 * kUnitSize, 0);
             std::array<std::uint8_t, kUnitSize> u{};
             u[0] = kKindPlainText;
             PutU32(&u[8], 2);
             PutPlainUnit(raw, 7, u);
         },
         true},
        {"tail of something that is no record",
         [](auto& raw) { raw.resize(raw.size() + 2 * kUnitSize, 0x33); }, true},
        {"kind 7 in the chain", patchUnit(3, [](auto& u) { u[0] = 7; }), false},
        {"record of zero units", patchUnit(3, [](auto& u) { PutU32(&u[8], 0); }), false},
        {"last record runs past the total", patchUnit(5, [](auto& u) { PutU32(&u[8], 3); }), false},
        {"header total of zero", patchUnit(0, [](auto& u) { PutU32(&u[24], 0); }), false},
        {"header total beyond the file", patchUnit(0, [](auto& u) { PutU32(&u[24], 9); }), false},
        {"unit 0 is not kind 255", patchUnit(0, [](auto& u) { u[0] = 1; }), false},
        {"unit 0 claims two units", patchUnit(0, [](auto& u) { PutU32(&u[8], 2); }), false},
        {"length not a multiple of 128", [](auto& raw) { raw.push_back(0); }, true},
        {"file cut inside the last record", [](auto& raw) { raw.resize(raw.size() - kUnitSize); },
         false},
        {"file shorter than a header", [](auto& raw) { raw.resize(100); }, false},
        {"empty file", [](auto& raw) { raw.clear(); }, false},
        {"not enciphered with our key", [](auto& raw) { raw[3] ^= 0x40; }, false},
    };
    for (int m = 0; m < 7; ++m)
        cases.push_back(
            {"magic byte changed", patchUnit(0, [m](auto& u) { u[41 + m] ^= 1; }), false});

    for (const Damage& c : cases) {
        MemDataFile d;
        // Chain: header, 2-unit record, 1-unit, 1-unit, 2-unit = 7 units.
        ASSERT_EQ(d.file->WriteRecord(testing::RecordImage(1, 2024, 3, 5, 2)), 1);
        ASSERT_EQ(d.file->WriteRecord(testing::RecordImage(2, 2024, 3, 5, 1)), 1);
        ASSERT_EQ(d.file->WriteRecord(testing::RecordImage(3, 2024, 3, 5, 1)), 1);
        ASSERT_EQ(d.file->WriteRecord(testing::RecordImage(4, 2024, 3, 5, 2)), 1);
        d.file->Close();
        c.apply(d.raw());
        ASSERT_EQ(d.file->Open(true), OpenResult::Opened) << c.name;
        EXPECT_EQ(d.file->Validate(), c.sound ? 1 : 0) << c.name;
        // A damaged file never crashes a walk or a count.
        KindCounts counts;
        (void)d.file->CountByKind(counts);
        (void)d.file->FindNext(kKindAttachment, 0);
    }
}

TEST(DataFileContainer, RecordsHiddenBehindATooSmallTotalAreNeverCutAway) {
    MemDataFile d;
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(d.file->WriteRecord(testing::RecordImage(2, 2024, 3, 5 + i, 2)), 1);
    d.file->Close();
    auto header = PlainUnit(d.raw(), 0);
    PutU32(&header[24], 3);  // hides the records at 3 and 5
    PutPlainUnit(d.raw(), 0, header);
    const auto before = d.raw();
    ASSERT_EQ(d.file->Open(false), OpenResult::Opened);
    EXPECT_EQ(d.file->Validate(), 0);
    // Even without the check a growth must not cut them off.
    EXPECT_EQ(d.file->WriteRecord(testing::RecordImage(2, 2024, 4, 1, 1)), 0);
    EXPECT_EQ(d.ui.warnings(), std::vector<std::string>{"Diary data is incorrect."});
    EXPECT_EQ(d.raw(), before);
}

TEST(DataFileContainer, OpenTellsMissingInUseAndReadOnly) {
    testing::TempDir dir;
    std::string path = dir / "Mrlwbk31.dat";
    CDiaryDataFile a;
    a.SetPath(path);
    a.SetKey(DeriveDataFileKey());
    EXPECT_EQ(a.Open(false), OpenResult::Failed);  // missing
    ASSERT_EQ(a.Create(), 1);
    ASSERT_EQ(a.Open(true), OpenResult::Opened);
    EXPECT_FALSE(a.IsReadOnly());
    EXPECT_FALSE(a.IsWritable()) << "opened for reading only";
    ASSERT_EQ(a.Open(false), OpenResult::Opened);
    EXPECT_TRUE(a.IsWritable());

    CDiaryDataFile b;
    b.SetPath(path);
    b.SetKey(DeriveDataFileKey());
    EXPECT_EQ(b.Open(false), OpenResult::InUse);
    EXPECT_EQ(b.Open(true), OpenResult::InUse);
    EXPECT_EQ(b.Create(), 0) << "creating over a file in use must not empty it";
    EXPECT_EQ(a.Validate(), 1);
    a.Close();

    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    ASSERT_EQ(b.Open(false), OpenResult::Opened);
    EXPECT_TRUE(b.IsReadOnly());
    EXPECT_FALSE(b.IsWritable());
    EXPECT_EQ(b.Validate(), 1);
    b.Close();
    ::chmod(path.c_str(), 0644);
}

TEST(DataFileContainer, AnotherProcessHoldingTheFileMakesItInUse) {
    testing::TempDir dir;
    std::string path = dir / "Mrlwbk31.dat";
    CDiaryDataFile a;
    a.SetPath(path);
    a.SetKey(DeriveDataFileKey());
    ASSERT_EQ(a.Create(), 1);

    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(release[1]);
        CDiaryDataFile c;
        c.SetPath(path);
        c.SetKey(DeriveDataFileKey());
        char ok = c.Open(false) == OpenResult::Opened ? 'y' : 'n';
        (void)!::write(ready[1], &ok, 1);
        char dummy;
        (void)!::read(release[0], &dummy, 1);  // hold the file until told
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');
    EXPECT_EQ(a.Open(false), OpenResult::InUse);
    ::close(release[1]);
    ::close(release[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(a.Open(false), OpenResult::Opened) << "the lock goes with the process";
}

TEST(DataFileContainer, GrowExtendsAndCommitsTheTotal) {
    MemDataFile d;
    EXPECT_EQ(d.file->Grow(4), 1u);
    EXPECT_EQ(d.raw().size(), 4 * kUnitSize);
    EXPECT_EQ(GetU32(&PlainUnit(d.raw(), 0)[24]), 4u);
    EXPECT_EQ(d.file->TotalUnits(), 4u);
    EXPECT_EQ(d.file->Grow(3), 0u) << "growing never shrinks";
}

TEST(DataFileContainer, FullDiskWhileGrowingKeepsLengthAndHeader) {
    MemDataFile d;
    ASSERT_EQ(d.file->WriteRecord(testing::RecordImage(1, 2024, 3, 5, 2)), 1);
    auto before = d.raw();
    d.fs.setCapacity(before.size() + kUnitSize);  // room for one more unit only
    EXPECT_EQ(d.file->Grow(5), 0u);
    EXPECT_EQ(d.file->WriteRecord(testing::RecordImage(2, 2024, 3, 5, 3)), 0);
    EXPECT_EQ(d.ui.warnings(), (std::vector<std::string>{"Disk is full.", "Disk is full."}));
    EXPECT_EQ(d.raw(), before);
    EXPECT_EQ(d.file->TotalUnits(), 3u);
    EXPECT_EQ(d.file->WriteRecord(testing::RecordImage(2, 2024, 3, 5, 1)), 1)
        << "one unit still fits";
    EXPECT_EQ(d.file->Validate(), 1);
}

TEST(DataFileContainer, ACreateThatFailsLeavesNoFileBehind) {
    for (FileErrorKind kind : {FileErrorKind::DiskFull, FileErrorKind::Io}) {
        for (int n = 1;; ++n) {
            MemFileSystem mem;
            testing::FaultyFileSystem faulty(mem);
            faulty.kind = kind;
            CDiaryDataFile f(faulty);
            f.SetPath("/mem/Mrlwbk31.dat");
            f.SetKey(DeriveDataFileKey());
            faulty.arm(n);
            const int created = f.Create();
            if (!faulty.fired()) {
                EXPECT_EQ(created, 1);
                EXPECT_EQ(mem.bytes("/mem/Mrlwbk31.dat").size(), kUnitSize);
                break;
            }
            EXPECT_EQ(created, 0) << "failure " << n;
            EXPECT_FALSE(mem.exists("/mem/Mrlwbk31.dat"))
                << "failure " << n << " left a file that is no data file";
        }
    }
    // A disk without room for one unit.
    MemFileSystem mem;
    mem.setCapacity(64);
    CDiaryDataFile f(mem);
    f.SetPath("/mem/Mrlwbk31.dat");
    f.SetKey(DeriveDataFileKey());
    EXPECT_EQ(f.Create(), 0);
    EXPECT_FALSE(mem.exists("/mem/Mrlwbk31.dat"));
}

TEST(DataFileContainer, PasswordIsStoredInCodePage932AndRefusedWhenItCannotBeTypedAgain) {
    MemDataFile d;
    EXPECT_EQ(d.file->GetPassword(), u"");
    ASSERT_EQ(d.file->SetPassword(u"abcdefghij"), 1);
    auto h = PlainUnit(d.raw(), 0);
    EXPECT_EQ(std::memcmp(&h[28], "abcdefghij\0", 11), 0);
    EXPECT_EQ(d.file->GetPassword(), u"abcdefghij");

    ASSERT_EQ(d.file->SetPassword(u"\u65e5\u8a18\u5e33ab"), 1);  // 3 double-byte + 2 = 8 bytes
    d.reopen();
    EXPECT_EQ(d.file->GetPassword(), u"\u65e5\u8a18\u5e33ab");

    EXPECT_EQ(d.file->SetPassword(u"\u65e5\u8a18\u5e33\u65e5\u8a18\u5e33"), 0);  // 12 bytes
    EXPECT_EQ(d.file->SetPassword(u"caf\u00e9"), 0);  // no such character in the code page
    EXPECT_EQ(d.ui.warnings().size(), 2u);
    EXPECT_EQ(d.file->GetPassword(), u"\u65e5\u8a18\u5e33ab")
        << "a refused password changes nothing";

    ASSERT_EQ(d.file->SetPassword(u"abcdefghijk"), 1);  // exactly 11 bytes, no terminator
    EXPECT_EQ(d.file->GetPassword(), u"abcdefghijk");
    ASSERT_EQ(d.file->SetPassword(u""), 1);
    EXPECT_EQ(d.file->GetPassword(), u"");
    EXPECT_EQ(d.file->Validate(), 1);
}

// A file of virtual size: only the units written are kept, so the 4 GB
// limit can be tried without 4 GB of memory or disk.
class SparseFile final : public File {
public:
    std::map<std::uint64_t, std::uint8_t> bytes;
    std::uint64_t length = 0;
    std::size_t readAt(std::uint64_t offset, void* buf, std::size_t n) override {
        auto* p = static_cast<std::uint8_t*>(buf);
        std::size_t got =
            offset >= length
                ? 0
                : static_cast<std::size_t>(std::min<std::uint64_t>(n, length - offset));
        for (std::size_t i = 0; i < got; ++i) {
            auto it = bytes.find(offset + i);
            p[i] = it == bytes.end() ? 0 : it->second;
        }
        return got;
    }
    void writeAt(std::uint64_t offset, const void* buf, std::size_t n) override {
        for (std::size_t i = 0; i < n; ++i)
            bytes[offset + i] = static_cast<const std::uint8_t*>(buf)[i];
        length = std::max(length, offset + n);
    }
    std::uint64_t size() override { return length; }
    void setSize(std::uint64_t s) override { length = s; }
    void sync() override {}
};

class SparseFileSystem final : public FileSystem {
public:
    SparseFile* file = nullptr;
    std::unique_ptr<File> open(const std::string&, OpenMode) override { return create(""); }
    std::unique_ptr<File> create(const std::string&) override {
        // Hand out one shared file: wrap it so ownership stays here.
        struct Ref final : File {
            explicit Ref(SparseFile* f) : f(f) {}
            SparseFile* f;
            std::size_t readAt(std::uint64_t o, void* b, std::size_t n) override {
                return f->readAt(o, b, n);
            }
            void writeAt(std::uint64_t o, const void* b, std::size_t n) override {
                f->writeAt(o, b, n);
            }
            std::uint64_t size() override { return f->size(); }
            void setSize(std::uint64_t s) override { f->setSize(s); }
            void sync() override {}
        };
        return std::make_unique<Ref>(file);
    }
    std::optional<bool> isReadOnly(const std::string&) override { return false; }
    bool exists(const std::string&) override { return true; }
    void remove(const std::string&) override {}
};

TEST(DataFileContainer, FileStopsAtFourBillionBytesComputedWithoutWrapping) {
    SparseFile sparse;
    SparseFileSystem fs;
    fs.file = &sparse;
    testing::RecordingUi ui;
    CDiaryDataFile f(fs, ui);
    f.SetKey(DeriveDataFileKey());
    ASSERT_EQ(f.Create(), 1);
    ASSERT_EQ(f.Open(false), OpenResult::Opened);
    // One large record fills the file to 4 units below the limit.
    const std::uint64_t limitUnits = kMaxFileBytes / kUnitSize;  // 31,250,000
    ASSERT_EQ(f.Grow(limitUnits - 4), 1u);
    auto big = testing::RecordImage(kKindAttachment, 2024, 1, 1, 1);
    PutU32(&big[8], static_cast<std::uint32_t>(limitUnits - 5));
    CBlowfish bf;
    DataFileKey key = DeriveDataFileKey();
    bf.Initialize(reinterpret_cast<const std::uint8_t*>(key.data()), 32);
    bf.Encrypt(big.data(), big.data(), kRecordHeaderSize);
    sparse.writeAt(kUnitSize, big.data(), kRecordHeaderSize);
    ASSERT_EQ(f.Validate(), 1);

    EXPECT_EQ(f.WriteRecord(testing::RecordImage(2, 2024, 1, 2, 5)), 0);
    EXPECT_EQ(ui.warnings(),
              std::vector<std::string>{"Diary data can not be more than 4G bytes.\nSave failure."});
    EXPECT_EQ(f.TotalUnits(), limitUnits - 4);
    EXPECT_EQ(f.WriteRecord(testing::RecordImage(2, 2024, 1, 2, 4)), 1)
        << "exactly 4,000,000,000 bytes";
    EXPECT_EQ(sparse.size(), kMaxFileBytes);
    EXPECT_EQ(f.Validate(), 1);
    // 33,554,433 units x 128 wraps to 128 in 32 bits.
    EXPECT_EQ(f.Grow(33'554'433), 0u);
    EXPECT_EQ(sparse.size(), kMaxFileBytes);
}

}  // namespace
}  // namespace tl::store
