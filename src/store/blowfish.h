#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tl::store {

// Blowfish in electronic-codebook mode over 8-byte blocks, as the data file
// uses it. The 8 bytes of a block are two 32-bit halves read little-endian
// (bytes 0-3 left, 4-7 right), which differs from the byte order of the
// published test vectors.
class CBlowfish {
public:
    CBlowfish();

    // The key schedule. Each call starts again from the initial tables.
    // REQUIRES: length > 0.
    void Initialize(const std::uint8_t* key, std::size_t length);

    void EncryptBlock(std::uint32_t& left, std::uint32_t& right) const;
    void DecryptBlock(std::uint32_t& left, std::uint32_t& right) const;

    // Enciphers ceil(length / 8) blocks and returns length rounded up to a
    // multiple of 8. The last block is completed with zero bytes, which are
    // written into dst beyond length: dst must have room up to the next
    // multiple of 8. src and dst may be the same buffer.
    std::size_t Encrypt(const std::uint8_t* src, std::uint8_t* dst, std::size_t length) const;
    // Deciphers the blocks covering length bytes (the engine passes multiples
    // of 8). src and dst may be the same buffer.
    void Decrypt(const std::uint8_t* src, std::uint8_t* dst, std::size_t length) const;

private:
    std::uint32_t F(std::uint32_t x) const;
    std::array<std::uint32_t, 18> m_p{};
    std::array<std::array<std::uint32_t, 256>, 4> m_s{};
};

}  // namespace tl::store
