#include "store/md5.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace tl::store {
namespace {

std::string Hex(CMD5& md5) {
    char out[33];
    return md5.HexDigest(out);
}

std::string HexOf(const std::string& message) {
    CMD5 md5;
    md5.Update(reinterpret_cast<const std::uint8_t*>(message.data()), message.size());
    md5.Final();
    return Hex(md5);
}

TEST(Md5Test, Rfc1321Suite) {
    std::ifstream in(std::string(TL_TEST_DATA) + "/crypto/md5_rfc1321.txt");
    ASSERT_TRUE(in) << "missing tests/data/crypto/md5_rfc1321.txt";
    int count = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::string digest = line.substr(0, 32);
        const std::string message = line.size() > 33 ? line.substr(33) : "";
        EXPECT_EQ(HexOf(message), digest) << '"' << message << '"';
        ++count;
    }
    EXPECT_EQ(count, 7);
}

// Every length around the padding boundaries (55, 56, 63, 64 ...), fed in
// uneven pieces, against OpenSSL.
TEST(Md5Test, MatchesOpenSslForAnyLengthAndSplit) {
    std::mt19937 rng(7);
    for (std::size_t length = 0; length < 300; ++length) {
        std::vector<std::uint8_t> data(length);
        for (auto& b : data) b = static_cast<std::uint8_t>(rng());

        unsigned char ref[EVP_MAX_MD_SIZE];
        unsigned int refLength = 0;
        ASSERT_EQ(EVP_Digest(data.data(), data.size(), ref, &refLength, EVP_md5(), nullptr), 1);

        CMD5 md5;
        for (std::size_t pos = 0; pos < length;) {
            const std::size_t piece = std::min<std::size_t>(1 + rng() % 70, length - pos);
            EXPECT_EQ(md5.Update(data.data() + pos, piece), 1);
            pos += piece;
        }
        EXPECT_EQ(md5.Final(), 1);
        ASSERT_EQ(refLength, 16u);
        EXPECT_TRUE(std::equal(ref, ref + 16, md5.Digest())) << "length " << length;
    }
}

TEST(Md5Test, FinalisedDigestRefusesMoreInput) {
    CMD5 md5;
    const std::uint8_t abc[] = {'a', 'b', 'c'};
    md5.Update(abc, 3);
    EXPECT_EQ(md5.Final(), 1);
    const std::string before = Hex(md5);

    EXPECT_EQ(md5.Update(abc, 3), 0);
    EXPECT_EQ(md5.Final(), 0);
    EXPECT_EQ(Hex(md5), before);
    EXPECT_EQ(before, "900150983cd24fb0d6963f7d28e17f72");

    md5.Init();  // Init starts over
    EXPECT_EQ(md5.Update(abc, 1), 1);
    EXPECT_EQ(md5.Final(), 1);
    EXPECT_EQ(Hex(md5), "0cc175b9c0f1b6a831c399e269772661");
}

TEST(Md5Test, HexDigestBeforeFinalIsEmpty) {
    CMD5 md5;
    const std::uint8_t a = 'a';
    md5.Update(&a, 1);
    char out[33];
    std::fill(std::begin(out), std::end(out), 'x');
    EXPECT_STREQ(md5.HexDigest(out), "");
    EXPECT_EQ(out[0], '\0');
}

}  // namespace
}  // namespace tl::store
