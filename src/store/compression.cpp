#include "store/compression.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "res/user_interface.h"

namespace tl::store {
namespace {

// Each stream routine holds one input and one output chunk of this size, so
// its memory does not depend on the payload size.
constexpr std::size_t kChunk = 500'000;
// The version text handed to zlib's version-checked initialisers; zlib only
// compares its first character, so any 1.x library accepts it.
constexpr const char kZlibVersion[] = "1.2.3";
// MemorySink allocates in multiples of this.
constexpr std::size_t kSinkStep = 1024;

using Chunk = std::unique_ptr<std::uint8_t[]>;

// The chunks and zlib's state are kept per thread between calls: fresh
// ones cost more (allocation, page faults, clearing the tables) than
// compressing a diary text.
struct ThreadChunks {
    Chunk in;
    Chunk out;
    bool ready() {
        if (!in) in.reset(new (std::nothrow) std::uint8_t[kChunk]);
        if (!out) out.reset(new (std::nothrow) std::uint8_t[kChunk]);
        return in && out;
    }
};

template <int (*EndFn)(z_streamp)>
struct ThreadStream {
    z_stream zs{};
    bool ready = false;
    ~ThreadStream() {
        if (ready) EndFn(&zs);
    }
};

// The thread's deflate stream at the default level, reset for a new
// stream; null when zlib can't give one.
// Reset keeps the input of the last use; a new stream starts without any.
z_stream* Fresh(z_stream& zs) {
    zs.next_in = nullptr;
    zs.avail_in = 0;
    return &zs;
}

z_stream* Deflater() {
    thread_local ThreadStream<deflateEnd> d;
    if (d.ready) return deflateReset(&d.zs) == Z_OK ? Fresh(d.zs) : nullptr;
    d.zs = z_stream{};
    d.ready = deflateInit_(&d.zs, Z_DEFAULT_COMPRESSION, kZlibVersion, sizeof(z_stream)) == Z_OK;
    return d.ready ? &d.zs : nullptr;
}

z_stream* Inflater() {
    thread_local ThreadStream<inflateEnd> d;
    if (d.ready) return inflateReset(&d.zs) == Z_OK ? Fresh(d.zs) : nullptr;
    d.zs = z_stream{};
    d.ready = inflateInit_(&d.zs, kZlibVersion, sizeof(z_stream)) == Z_OK;
    return d.ready ? &d.zs : nullptr;
}

ThreadChunks& Chunks() {
    thread_local ThreadChunks chunks;
    return chunks;
}

// Refills the input when zlib has used it all. Returns the bytes delivered.
std::size_t Refill(ByteSource& source, z_stream& zs, std::uint8_t* in) {
    const std::size_t n = std::min(source.Read(in, kChunk), kChunk);
    zs.next_in = in;
    zs.avail_in = static_cast<uInt>(n);
    return n;
}

// The loop both routines share: run `step` (refill, then deflate or
// inflate) until the output chunk is full, write it out, go on with an empty
// chunk. At stream end the filled part is written. 1 when all of that
// succeeded; 0 on a refused write or any other zlib code. The stream is
// reset by its next use, whatever state this leaves it in.
template <class Step>
int Pump(z_stream& zs, ByteSink& destination, std::uint8_t* out, Step step) {
    for (;;) {
        zs.next_out = out;
        zs.avail_out = kChunk;
        do {
            const int rc = step();
            if (rc == Z_STREAM_END) {
                const std::size_t filled = kChunk - zs.avail_out;
                return filled == 0 || destination.Write(out, filled) ? 1 : 0;
            }
            if (rc != Z_OK) {
                return 0;
            }
        } while (zs.avail_out != 0);
        if (!destination.Write(out, kChunk)) {
            return 0;
        }
    }
}

}  // namespace

std::size_t MemorySource::Read(std::uint8_t* buf, std::size_t n) {
    const std::size_t count = std::min(n, m_bytes.size() - m_pos);
    if (count > 0) {
        std::memcpy(buf, m_bytes.data() + m_pos, count);
        m_pos += count;
    }
    return count;
}

bool MemorySink::Write(const std::uint8_t* buf, std::size_t n) {
    if (n == 0) {
        return true;
    }
    const std::uint64_t size = m_bytes.size();
    if (n > m_limit || size > m_limit - n) {
        return false;
    }
    const std::uint64_t needed = size + n;
    if (needed > m_bytes.capacity()) {
        // Whole 1024-byte steps, at least doubling so that a large payload is
        // not copied once per step; never reserving past the limit.
        std::uint64_t grow = (needed + kSinkStep - 1) / kSinkStep * kSinkStep;
        grow = std::max<std::uint64_t>(grow, 2 * static_cast<std::uint64_t>(m_bytes.capacity()));
        grow = std::min(grow, m_limit);
        if (grow > m_bytes.max_size()) {
            return false;
        }
        try {
            m_bytes.reserve(static_cast<std::size_t>(grow));
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    m_bytes.insert(m_bytes.end(), buf, buf + n);
    return true;
}

int CompressStream(ByteSource& source, ByteSink& destination) {
    ThreadChunks& chunks = Chunks();
    z_stream* stream = chunks.ready() ? Deflater() : nullptr;
    if (!stream) {
        return 0;
    }
    z_stream& zs = *stream;
    std::uint8_t* in = chunks.in.get();
    int flush = Z_NO_FLUSH;
    return Pump(zs, destination, chunks.out.get(), [&] {
        // A short read is the end of the source: finish the stream. No
        // reading once finishing, zlib wants no more input then.
        if (zs.avail_in == 0 && flush == Z_NO_FLUSH && Refill(source, zs, in) < kChunk) {
            flush = Z_FINISH;
        }
        return deflate(&zs, flush);
    });
}

int DecompressStream(ByteSource& source, ByteSink& destination) {
    ThreadChunks& chunks = Chunks();
    z_stream* stream = chunks.ready() ? Inflater() : nullptr;
    if (!stream) {
        return 0;
    }
    z_stream& zs = *stream;
    std::uint8_t* in = chunks.in.get();
    // Z_BUF_ERROR from inflate means the input ran out before the stream
    // ended; Z_NEED_DICT is a stream this system never writes. Bytes after
    // the end of the stream are left unread, not an error.
    return Pump(zs, destination, chunks.out.get(), [&] {
        if (zs.avail_in == 0) {
            Refill(source, zs, in);
        }
        return inflate(&zs, Z_NO_FLUSH);
    });
}

std::optional<std::size_t> InflateInto(std::span<const std::uint8_t> stored,
                                       std::span<std::uint8_t> out) {
    z_stream* zs = Inflater();
    if (!zs || stored.size() > UINT32_MAX || out.size() > UINT32_MAX) return std::nullopt;
    zs->next_in = const_cast<Bytef*>(stored.data());
    zs->avail_in = static_cast<uInt>(stored.size());
    std::uint8_t probe = 0;
    // zlib takes no null output, not even an empty one.
    zs->next_out = out.empty() ? &probe : out.data();
    zs->avail_out = static_cast<uInt>(out.size());
    int rc = inflate(zs, Z_FINISH);
    if (rc == Z_STREAM_END) return out.size() - zs->avail_out;
    if (rc != Z_BUF_ERROR || zs->avail_out != 0) return std::nullopt;
    // The room is full: the stream must end without another byte.
    zs->next_out = &probe;
    zs->avail_out = 1;
    rc = inflate(zs, Z_FINISH);
    if (rc == Z_STREAM_END && zs->avail_out == 1) return out.size();
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> CompressPayload(std::span<const std::uint8_t> payload,
                                                         res::UserInterface& ui) {
    MemorySource source(payload);
    MemorySink sink;
    if (!CompressStream(source, sink)) {
        ui.warn(res::Msg::FailedToCompress);
        return std::nullopt;
    }
    return sink.Detach();
}

std::optional<std::vector<std::uint8_t>> DecompressPayload(std::span<const std::uint8_t> stored,
                                                           std::uint64_t maxOutput,
                                                           res::UserInterface& ui) {
    MemorySource source(stored);
    MemorySink sink(maxOutput);
    if (!DecompressStream(source, sink)) {
        ui.warn(res::Msg::FailedToDecompress);
        return std::nullopt;
    }
    return sink.Detach();
}

}  // namespace tl::store
