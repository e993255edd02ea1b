#include "store/blowfish.h"

#include <cassert>

#include "store/blowfish_init.h"

namespace tl::store {
namespace {

// The data file stores each half little-endian (see blowfish.h).
inline std::uint32_t LoadLe32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline void StoreLe32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

constexpr std::size_t kBlock = 8;

}  // namespace

CBlowfish::CBlowfish() = default;

inline std::uint32_t CBlowfish::F(std::uint32_t x) const {
    return ((m_s[0][x >> 24] + m_s[1][(x >> 16) & 0xFF]) ^ m_s[2][(x >> 8) & 0xFF]) +
           m_s[3][x & 0xFF];
}

void CBlowfish::Initialize(const std::uint8_t* key, std::size_t length) {
    assert(key != nullptr && length > 0);
    m_p = blowfish_init::kP;
    m_s = blowfish_init::kS;

    // Key bytes taken cyclically, four per P entry, first byte most significant.
    if (length > 0) {
        std::size_t pos = 0;
        for (auto& p : m_p) {
            std::uint32_t word = 0;
            for (int k = 0; k < 4; ++k) {
                word = (word << 8) | key[pos];
                pos = (pos + 1) % length;
            }
            p ^= word;
        }
    }

    // 521 encryptions of a running block replace the P-array, then the S-boxes.
    std::uint32_t left = 0;
    std::uint32_t right = 0;
    for (std::size_t i = 0; i < m_p.size(); i += 2) {
        EncryptBlock(left, right);
        m_p[i] = left;
        m_p[i + 1] = right;
    }
    for (auto& box : m_s) {
        for (std::size_t i = 0; i < box.size(); i += 2) {
            EncryptBlock(left, right);
            box[i] = left;
            box[i + 1] = right;
        }
    }
}

// Two rounds per step, so the halves never need swapping.
void CBlowfish::EncryptBlock(std::uint32_t& left, std::uint32_t& right) const {
    std::uint32_t l = left;
    std::uint32_t r = right;
    for (int i = 0; i < 16; i += 2) {
        l ^= m_p[i];
        r ^= F(l);
        r ^= m_p[i + 1];
        l ^= F(r);
    }
    left = r ^ m_p[17];
    right = l ^ m_p[16];
}

void CBlowfish::DecryptBlock(std::uint32_t& left, std::uint32_t& right) const {
    std::uint32_t l = left;
    std::uint32_t r = right;
    for (int i = 17; i > 1; i -= 2) {
        l ^= m_p[i];
        r ^= F(l);
        r ^= m_p[i - 1];
        l ^= F(r);
    }
    left = r ^ m_p[0];
    right = l ^ m_p[1];
}

std::size_t CBlowfish::Encrypt(const std::uint8_t* src, std::uint8_t* dst,
                               std::size_t length) const {
    std::size_t done = 0;
    for (; length - done >= kBlock; done += kBlock) {
        std::uint32_t l = LoadLe32(src + done);
        std::uint32_t r = LoadLe32(src + done + 4);
        EncryptBlock(l, r);
        StoreLe32(dst + done, l);
        StoreLe32(dst + done + 4, r);
    }
    if (done == length) {
        return length;
    }
    // The last, partial block is completed with zeros.
    std::uint8_t block[kBlock] = {};
    for (std::size_t i = 0; i < length - done; ++i) {
        block[i] = src[done + i];
    }
    std::uint32_t l = LoadLe32(block);
    std::uint32_t r = LoadLe32(block + 4);
    EncryptBlock(l, r);
    StoreLe32(dst + done, l);
    StoreLe32(dst + done + 4, r);
    return done + kBlock;
}

void CBlowfish::Decrypt(const std::uint8_t* src, std::uint8_t* dst, std::size_t length) const {
    // Blocks covering length: a partial tail still names a whole block.
    const std::size_t end = (length + kBlock - 1) / kBlock * kBlock;
    std::size_t off = 0;
    // Two blocks at a time: each block's rounds are one long chain of
    // dependent look-ups, and two chains keep the processor busy.
    for (; off + 2 * kBlock <= end; off += 2 * kBlock) {
        std::uint32_t l1 = LoadLe32(src + off), r1 = LoadLe32(src + off + 4);
        std::uint32_t l2 = LoadLe32(src + off + 8), r2 = LoadLe32(src + off + 12);
        for (int i = 17; i > 1; i -= 2) {
            l1 ^= m_p[i];
            l2 ^= m_p[i];
            r1 ^= F(l1);
            r2 ^= F(l2);
            r1 ^= m_p[i - 1];
            r2 ^= m_p[i - 1];
            l1 ^= F(r1);
            l2 ^= F(r2);
        }
        StoreLe32(dst + off, r1 ^ m_p[0]);
        StoreLe32(dst + off + 4, l1 ^ m_p[1]);
        StoreLe32(dst + off + 8, r2 ^ m_p[0]);
        StoreLe32(dst + off + 12, l2 ^ m_p[1]);
    }
    for (; off < end; off += kBlock) {
        std::uint32_t l = LoadLe32(src + off);
        std::uint32_t r = LoadLe32(src + off + 4);
        DecryptBlock(l, r);
        StoreLe32(dst + off, l);
        StoreLe32(dst + off + 4, r);
    }
}

}  // namespace tl::store
