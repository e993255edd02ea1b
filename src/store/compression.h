#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tl::res {
class UserInterface;
}

namespace tl::store {

// No deflate stream inflates to more than this many times its size.
inline constexpr std::uint64_t kDeflateMaxRatio = 1032;

// A byte source for the stream routines.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Delivers up to n bytes; fewer only at the end.
    virtual std::size_t Read(std::uint8_t* buf, std::size_t n) = 0;
};

// A byte sink for the stream routines.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Returns false when the bytes could not be taken (memory, a limit).
    [[nodiscard]] virtual bool Write(const std::uint8_t* buf, std::size_t n) = 0;
};

// A source over an existing buffer; the buffer is owned by the caller.
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    std::size_t Read(std::uint8_t* buf, std::size_t n) override;

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
};

// A sink that grows in 1024-byte steps and refuses to grow past a limit, so
// a stream cannot inflate to more than its record claims.
class MemorySink final : public ByteSink {
public:
    explicit MemorySink(std::uint64_t limit = UINT64_MAX) : m_limit(limit) {}
    bool Write(const std::uint8_t* buf, std::size_t n) override;
    std::vector<std::uint8_t> Detach() { return std::move(m_bytes); }
    std::uint64_t Length() const { return m_bytes.size(); }

private:
    std::vector<std::uint8_t> m_bytes;
    std::uint64_t m_limit;
};

// Compresses the whole source into one zlib (RFC 1950) stream at the default
// level. 1 done, 0 on any zlib error or a refused write.
[[nodiscard]] int CompressStream(ByteSource& source, ByteSink& destination);
// Inflates one complete zlib stream. 1 done; 0 for corrupt or truncated data,
// a refused write, or any zlib error.
[[nodiscard]] int DecompressStream(ByteSource& source, ByteSink& destination);

// Inflates one complete zlib stream straight into out, which must have room
// for all of it: the bytes written, or nullopt for corrupt or truncated data
// or a stream that inflates to more than out holds. Tells nobody.
std::optional<std::size_t> InflateInto(std::span<const std::uint8_t> stored,
                                       std::span<std::uint8_t> out);

// Payload helpers of the typed records. On failure they show "Failed to
// compress." / "Failed to decompress." through ui and return nullopt.
std::optional<std::vector<std::uint8_t>> CompressPayload(std::span<const std::uint8_t> payload,
                                                         res::UserInterface& ui);
// Inflates a stored zlib stream. The result may not exceed maxOutput bytes
// (records state their original size; a stream that inflates to more is
// damaged, not a reason to allocate gigabytes).
std::optional<std::vector<std::uint8_t>> DecompressPayload(std::span<const std::uint8_t> stored,
                                                           std::uint64_t maxOutput,
                                                           res::UserInterface& ui);

// The first bytes of a zlib stream: inflates into out until out is full,
// the stream ends or the input runs out (a caller that wants the beginning
// of a file reads only the beginning of its stream). The bytes written;
// nullopt for corrupt data or a zlib error. Tells nobody.
std::optional<std::size_t> InflatePrefix(std::span<const std::uint8_t> stored,
                                         std::span<std::uint8_t> out);

}  // namespace tl::store
