#pragma once

#include <cstddef>
#include <cstdint>

namespace tl::store {

// MD5 as RFC 1321 defines it.
class CMD5 {
public:
    CMD5() { Init(); }

    void Init();
    // 1, or 0 without effect once finalised.
    int Update(const std::uint8_t* bytes, std::size_t count);
    // 1, or 0 without effect when already finalised.
    int Final();
    // Writes the 32 lowercase hexadecimal digits and a zero into out (at least
    // 33 bytes) and returns out; before Final, writes the empty text.
    char* HexDigest(char* out) const;
    // The 16 digest bytes; meaningful after Final.
    const std::uint8_t* Digest() const { return m_digest; }

private:
    void Transform(const std::uint8_t block[64]);
    std::uint32_t m_state[4];
    std::uint32_t m_count[2];  // bits processed, low word first
    std::uint8_t m_buffer[64];
    std::uint8_t m_digest[16];
    bool m_finalized;
};

}  // namespace tl::store
