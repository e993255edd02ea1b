#include "store/md5.h"

#include <cstring>

namespace tl::store {
namespace {

inline std::uint32_t Rotl(std::uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

inline std::uint32_t LoadLe32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline void StoreLe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// clang-format off
// Per-step shift amounts and sine constants of RFC 1321, section 3.4.
constexpr int kShift[64] = {
    7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
    5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
    4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
    6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21,
};

constexpr std::uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613,
    0xfd469501, 0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193,
    0xa679438e, 0x49b40821, 0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d,
    0x02441453, 0xd8a1e681, 0xe7d3fbc8, 0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed,
    0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a, 0xfffa3942, 0x8771f681, 0x6d9d6122,
    0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70, 0x289b7ec6, 0xeaa127fa,
    0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665, 0xf4292244,
    0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb,
    0xeb86d391,
};
// clang-format on

}  // namespace

void CMD5::Init() {
    m_state[0] = 0x67452301;
    m_state[1] = 0xefcdab89;
    m_state[2] = 0x98badcfe;
    m_state[3] = 0x10325476;
    m_count[0] = 0;
    m_count[1] = 0;
    std::memset(m_buffer, 0, sizeof m_buffer);
    std::memset(m_digest, 0, sizeof m_digest);
    m_finalized = false;
}

void CMD5::Transform(const std::uint8_t block[64]) {
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i) {
        x[i] = LoadLe32(block + 4 * i);
    }
    std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    for (int i = 0; i < 64; ++i) {
        std::uint32_t f;
        int g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (b & d) | (c & ~d);
            g = (5 * i + 1) & 15;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) & 15;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) & 15;
        }
        const std::uint32_t next = b + Rotl(a + f + kSine[i] + x[g], kShift[i]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
}

int CMD5::Update(const std::uint8_t* bytes, std::size_t count) {
    if (m_finalized) {
        return 0;
    }
    if (count == 0) {
        return 1;
    }
    std::size_t used = (m_count[0] >> 3) & 63;
    // The bit count is modulo 2^64, as RFC 1321 asks.
    const std::uint64_t bits = (static_cast<std::uint64_t>(m_count[1]) << 32 | m_count[0]) +
                               (static_cast<std::uint64_t>(count) << 3);
    m_count[0] = static_cast<std::uint32_t>(bits);
    m_count[1] = static_cast<std::uint32_t>(bits >> 32);

    if (used > 0) {
        const std::size_t take = count < 64 - used ? count : 64 - used;
        std::memcpy(m_buffer + used, bytes, take);
        used += take;
        bytes += take;
        count -= take;
        if (used < 64) {
            return 1;
        }
        Transform(m_buffer);
    }
    for (; count >= 64; bytes += 64, count -= 64) {
        Transform(bytes);
    }
    if (count > 0) {
        std::memcpy(m_buffer, bytes, count);
    }
    return 1;
}

int CMD5::Final() {
    if (m_finalized) {
        return 0;
    }
    // Padding 0x80, zeros to 56 mod 64, then the bit count low word first.
    std::uint8_t length[8];
    StoreLe32(length, m_count[0]);
    StoreLe32(length + 4, m_count[1]);
    const std::size_t used = (m_count[0] >> 3) & 63;
    const std::size_t padLength = used < 56 ? 56 - used : 120 - used;
    static constexpr std::uint8_t kPadding[64] = {0x80};
    Update(kPadding, padLength);
    Update(length, 8);
    for (int i = 0; i < 4; ++i) {
        StoreLe32(m_digest + 4 * i, m_state[i]);
    }
    std::memset(m_buffer, 0, sizeof m_buffer);
    m_finalized = true;
    return 1;
}

char* CMD5::HexDigest(char* out) const {
    if (!m_finalized) {
        out[0] = '\0';
        return out;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    for (int i = 0; i < 16; ++i) {
        out[2 * i] = kHex[m_digest[i] >> 4];
        out[2 * i + 1] = kHex[m_digest[i] & 15];
    }
    out[32] = '\0';
    return out;
}

}  // namespace tl::store
