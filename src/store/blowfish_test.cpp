#include "store/blowfish.h"

// OpenSSL's low-level Blowfish API is deprecated in OpenSSL 3; the test only
// uses it as an independent implementation to compare against.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <gtest/gtest.h>
#include <openssl/blowfish.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace tl::store {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FromHex(const std::string& hex) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    }
    return out;
}

// The published vectors read each half big-endian, the data file
// little-endian: reversing each 4-byte half converts between them.
Bytes SwapHalves(Bytes b) {
    for (std::size_t i = 0; i + 4 <= b.size(); i += 4) {
        std::reverse(b.begin() + static_cast<std::ptrdiff_t>(i),
                     b.begin() + static_cast<std::ptrdiff_t>(i + 4));
    }
    return b;
}

CBlowfish Keyed(const Bytes& key) {
    CBlowfish bf;
    bf.Initialize(key.data(), key.size());
    return bf;
}

TEST(BlowfishTest, PublishedVectorsThroughTheFileByteOrder) {
    std::ifstream in(std::string(TL_TEST_DATA) + "/crypto/blowfish_ecb.txt");
    ASSERT_TRUE(in) << "missing tests/data/crypto/blowfish_ecb.txt";
    int count = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string key, plain, cipher;
        fields >> key >> plain >> cipher;
        SCOPED_TRACE(line);
        const CBlowfish bf = Keyed(FromHex(key));

        Bytes block = SwapHalves(FromHex(plain));
        EXPECT_EQ(bf.Encrypt(block.data(), block.data(), 8), 8u);
        EXPECT_EQ(SwapHalves(block), FromHex(cipher));
        bf.Decrypt(block.data(), block.data(), 8);
        EXPECT_EQ(SwapHalves(block), FromHex(plain));
        ++count;
    }
    EXPECT_EQ(count, 34);
}

// Random keys of every length and random buffers against OpenSSL.
TEST(BlowfishTest, MatchesOpenSslOnRandomKeysAndBlocks) {
    std::mt19937 rng(20240601);
    auto randomBytes = [&](std::size_t n) {
        Bytes b(n);
        for (auto& x : b) x = static_cast<std::uint8_t>(rng());
        return b;
    };
    CBlowfish bf;  // reused: each Initialize must start again from pi
    for (int round = 0; round < 2000; ++round) {
        const Bytes key = randomBytes(1 + round % 56);
        bf.Initialize(key.data(), key.size());
        BF_KEY ref;
        BF_set_key(&ref, static_cast<int>(key.size()), key.data());

        const Bytes plain = randomBytes(8 * (1 + round % 4));
        Bytes ours(plain.size());
        ASSERT_EQ(bf.Encrypt(plain.data(), ours.data(), plain.size()), plain.size());
        const Bytes bigEndian = SwapHalves(plain);
        Bytes theirs(plain.size());
        for (std::size_t off = 0; off < plain.size(); off += 8) {
            BF_ecb_encrypt(bigEndian.data() + off, theirs.data() + off, &ref, BF_ENCRYPT);
        }
        ASSERT_EQ(ours, SwapHalves(theirs)) << "round " << round;
        Bytes back(plain.size());
        bf.Decrypt(ours.data(), back.data(), ours.size());
        ASSERT_EQ(back, plain) << "round " << round;
    }
}

class BlowfishKeyedTest : public ::testing::Test {
protected:
    // The data file's key is 32 characters of hexadecimal text.
    CBlowfish bf = Keyed(Bytes(32, '7'));
};

TEST_F(BlowfishKeyedTest, PartialBlockIsCompletedWithZeros) {
    const Bytes plain = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    Bytes cipher(16, 0xEE);
    EXPECT_EQ(bf.Encrypt(plain.data(), cipher.data(), plain.size()), 16u);

    Bytes padded = plain;
    padded.resize(16, 0);
    Bytes whole(16);
    bf.Encrypt(padded.data(), whole.data(), 16);
    EXPECT_EQ(cipher, whole);

    Bytes back(16, 0xEE);
    bf.Decrypt(cipher.data(), back.data(), 13);  // covers both blocks
    EXPECT_EQ(back, padded);
}

TEST_F(BlowfishKeyedTest, ZeroLengthWritesNothing) {
    const Bytes src(8, 0x55);
    Bytes dst(8, 0xEE);
    EXPECT_EQ(bf.Encrypt(src.data(), dst.data(), 0), 0u);
    bf.Decrypt(src.data(), dst.data(), 0);
    EXPECT_EQ(dst, Bytes(8, 0xEE));
}

TEST_F(BlowfishKeyedTest, InPlaceEqualsOutOfPlace) {
    Bytes unit(128);
    for (std::size_t i = 0; i < unit.size(); ++i) unit[i] = static_cast<std::uint8_t>(i * 7);
    Bytes out(128);
    bf.Encrypt(unit.data(), out.data(), unit.size());
    Bytes inPlace = unit;
    bf.Encrypt(inPlace.data(), inPlace.data(), inPlace.size());
    EXPECT_EQ(inPlace, out);
    EXPECT_NE(out, unit);

    bf.Decrypt(inPlace.data(), inPlace.data(), inPlace.size());
    EXPECT_EQ(inPlace, unit);
}

TEST_F(BlowfishKeyedTest, RecordHeaderDeciphersAlone) {
    Bytes unit(128);
    for (std::size_t i = 0; i < unit.size(); ++i) unit[i] = static_cast<std::uint8_t>(255 - i);
    Bytes cipher(128);
    bf.Encrypt(unit.data(), cipher.data(), 128);

    Bytes header(24);
    bf.Decrypt(cipher.data(), header.data(), 24);
    EXPECT_TRUE(std::equal(header.begin(), header.end(), unit.begin()));
}

}  // namespace
}  // namespace tl::store
