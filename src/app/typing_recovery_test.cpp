#include "typing_recovery.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "store/data_file_key.h"
#include "support/temp_dir.h"

namespace tl::app {
namespace {

namespace fs = std::filesystem;

store::CBlowfish Cipher(const std::string& key) {
    store::CBlowfish cipher;
    cipher.Initialize(reinterpret_cast<const std::uint8_t*>(key.data()), key.size());
    return cipher;
}

RecoveredEntry Sample() {
    RecoveredEntry e;
    e.date = {2026, 12, 11};
    e.header.title = u"Harbour";
    e.header.weather = u"Fog";
    e.header.colors = {0x112233, 1, 0x445566, 2};
    e.text = u"secret words\r\nsecond line \u00e9";
    e.rtf = {'{', '\\', 'r', 't', 'f', '1', '}'};
    return e;
}

TEST(TypingRecoveryTest, SealedEntryOpensWholeOnlyWithItsCipher) {
    const store::CBlowfish cipher = Cipher(std::string(store::DeriveDataFileKey().data()));
    const RecoveredEntry entry = Sample();
    std::vector<std::uint8_t> sealed = SealRecovery(cipher, entry);
    // Nothing of the text is readable in the file.
    const std::string raw(sealed.begin(), sealed.end());
    EXPECT_EQ(raw.find("secret"), std::string::npos);
    EXPECT_EQ(raw.find("s\0e\0c\0r\0e\0t", 0, 11), std::string::npos);

    const auto opened = OpenRecovery(cipher, sealed);
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->date, entry.date);
    EXPECT_EQ(opened->header.title, entry.header.title);
    EXPECT_EQ(opened->header.weather, entry.header.weather);
    EXPECT_EQ(opened->header.colors, entry.header.colors);
    EXPECT_EQ(opened->text, entry.text);
    EXPECT_EQ(opened->rtf, entry.rtf);

    EXPECT_FALSE(OpenRecovery(Cipher("another key"), sealed));
    // A torn or damaged file is refused, never half read.
    for (std::size_t cut : {std::size_t{0}, std::size_t{8}, sealed.size() - 8})
        EXPECT_FALSE(OpenRecovery(cipher, std::span(sealed).first(cut))) << cut;
    for (std::size_t at : {std::size_t{3}, std::size_t{12}, sealed.size() - 1}) {
        std::vector<std::uint8_t> flipped = sealed;
        flipped[at] ^= 0x40;
        EXPECT_FALSE(OpenRecovery(cipher, flipped)) << at;
    }
}

TEST(TypingRecoveryTest, WriterKeepsTheLastStateAndARemovalIsFinal) {
    testing::TempDir dir;
    const std::string data = (dir / "Mrlwbk31.dat").string();
    const store::CBlowfish cipher = Cipher(std::string(store::DeriveDataFileKey().data()));
    const std::string path = RecoveryPath(data, {2026, 12, 11});
    EXPECT_EQ(fs::path(path).filename(), "Mrlwbk31-20261211.recovery");
    RecoveryWriter writer;
    RecoveredEntry entry = Sample();
    for (int i = 0; i < 50; ++i) {
        entry.text = u"version " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26));
        writer.write(path, cipher, entry);
    }
    writer.flush();
    auto read = ReadRecoveryFile(cipher, path);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->text, entry.text);
    EXPECT_FALSE(fs::exists(path + ".part"));
    EXPECT_EQ(RecoveryFiles(data), std::vector<std::string>{path});

    // Writes still queued when the entry is saved never bring the file back.
    for (int i = 0; i < 20; ++i) writer.write(path, cipher, entry);
    writer.remove(path);
    writer.flush();
    EXPECT_FALSE(fs::exists(path));
    // Only this data file's recovery files are listed.
    std::ofstream((dir / "Other-20261211.recovery").string()) << "x";
    std::ofstream((dir / "Mrlwbk31-2026121.recovery").string()) << "x";
    EXPECT_TRUE(RecoveryFiles(data).empty());
}

}  // namespace
}  // namespace tl::app
