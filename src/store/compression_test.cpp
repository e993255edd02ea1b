#include "store/compression.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace tl::store {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFixture(const std::string& name) {
    std::ifstream in(std::string(TL_TEST_DATA) + "/zlib/" + name, std::ios::binary);
    EXPECT_TRUE(in) << "missing tests/data/zlib/" << name;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The payload behind pattern.z (scripts/gen_zlib_fixtures.py).
Bytes Pattern(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(7 * i + i / 4096);
    return b;
}

Bytes Noise(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(rng());
    return b;
}

// Inflates with zlib's own one-shot routine, independent of the code under test.
Bytes ReferenceInflate(const Bytes& stream, std::size_t expected) {
    Bytes out(expected + 1);
    uLongf length = out.size();
    EXPECT_EQ(uncompress(out.data(), &length, stream.data(), stream.size()), Z_OK);
    out.resize(length);
    return out;
}

// Records the size of every read, to check the chunking.
class CountingSource final : public ByteSource {
public:
    explicit CountingSource(const Bytes& bytes) : m_inner(bytes) {}
    std::size_t Read(std::uint8_t* buf, std::size_t n) override {
        reads.push_back(m_inner.Read(buf, n));
        return reads.back();
    }
    std::vector<std::size_t> reads;

private:
    MemorySource m_inner;
};

// Zeros without holding them: a large payload at no memory cost.
class ZeroSource final : public ByteSource {
public:
    explicit ZeroSource(std::size_t n) : m_left(n) {}
    std::size_t Read(std::uint8_t* buf, std::size_t n) override {
        const std::size_t count = std::min(n, m_left);
        std::fill(buf, buf + count, 0);
        m_left -= count;
        return count;
    }

private:
    std::size_t m_left;
};

class CompressionTest : public ::testing::Test {
protected:
    Bytes Compress(const Bytes& payload) {
        auto stored = CompressPayload(payload, ui);
        EXPECT_TRUE(stored.has_value());
        return stored.value_or(Bytes{});
    }
    std::optional<Bytes> Decompress(const Bytes& stored, std::uint64_t max = 100'000'000) {
        return DecompressPayload(stored, max, ui);
    }
    testing::RecordingUi ui;
};

TEST_F(CompressionTest, RoundTripsAroundTheChunkSize) {
    for (const std::size_t size : {0u, 1u, 4096u, 499'999u, 500'000u, 500'001u, 1'300'000u}) {
        SCOPED_TRACE(size);
        for (const Bytes& payload : {Pattern(size), Noise(size, static_cast<unsigned>(size))}) {
            const Bytes stored = Compress(payload);
            // The zlib format at the default level and window.
            ASSERT_GE(stored.size(), 2u);
            EXPECT_EQ(stored[0], 0x78);
            EXPECT_EQ(stored[1], 0x9C);
            EXPECT_EQ(ReferenceInflate(stored, payload.size()), payload);
            EXPECT_EQ(Decompress(stored), payload);
        }
    }
    EXPECT_TRUE(ui.warnings().empty());
}

TEST_F(CompressionTest, ExactChunkFinishesAfterAnEmptyRead) {
    const Bytes payload = Pattern(500'000);
    CountingSource source(payload);
    MemorySink sink;
    ASSERT_EQ(CompressStream(source, sink), 1);
    EXPECT_EQ(source.reads, (std::vector<std::size_t>{500'000, 0}));
    EXPECT_EQ(ReferenceInflate(sink.Detach(), payload.size()), payload);
}

TEST_F(CompressionTest, ReadsStreamsWrittenByPython) {
    const Bytes entry = ReadFixture("entry.bin");
    ASSERT_FALSE(entry.empty());
    for (const char* name : {"entry_l9.z", "entry_stored.z", "entry_trailing.z"}) {
        EXPECT_EQ(Decompress(ReadFixture(name)), entry) << name;
    }
    EXPECT_EQ(Decompress(ReadFixture("empty.z")), Bytes{});
    EXPECT_EQ(Decompress(ReadFixture("pattern.z")), Pattern(1'200'000));
    EXPECT_TRUE(ui.warnings().empty());

    // A preset dictionary is nothing this program writes or can supply.
    EXPECT_EQ(Decompress(ReadFixture("entry_dict.z")), std::nullopt);
    EXPECT_EQ(ui.warnings(), std::vector<std::string>{"Failed to decompress."});
}

TEST_F(CompressionTest, PythonReadsOurStreams) {
    if (std::system("python3 -c '' >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "python3 not available";
    }
    const Bytes payload = Pattern(700'000);
    testing::TempDir dir;
    const std::string in = (dir / "payload.z").string();
    const std::string out = (dir / "payload.bin").string();
    {
        const Bytes stored = Compress(payload);
        std::ofstream(in, std::ios::binary)
            .write(reinterpret_cast<const char*>(stored.data()),
                   static_cast<std::streamsize>(stored.size()));
    }
    const std::string command =
        "python3 -c 'import sys, zlib; "
        "open(sys.argv[2], \"wb\").write(zlib.decompress(open(sys.argv[1], \"rb\").read()))' '" +
        in + "' '" + out + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream back(out, std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(back), std::istreambuf_iterator<char>()),
              payload);
}

TEST_F(CompressionTest, TruncatedStreamFailsAtEveryCut) {
    const Bytes stored = ReadFixture("entry_l9.z");
    for (std::size_t cut = 0; cut < stored.size(); ++cut) {
        const Bytes part(stored.begin(), stored.begin() + static_cast<std::ptrdiff_t>(cut));
        MemorySource source(part);
        MemorySink sink;
        EXPECT_EQ(DecompressStream(source, sink), 0) << "cut at " << cut;
        EXPECT_EQ(Decompress(part), std::nullopt) << "cut at " << cut;
    }
    EXPECT_EQ(ui.warnings(), std::vector<std::string>(stored.size(), "Failed to decompress."));
}

TEST_F(CompressionTest, OutputIsBoundedByTheCallersLimit) {
    const Bytes payload = Pattern(100'000);
    const Bytes stored = Compress(payload);
    EXPECT_EQ(Decompress(stored, payload.size()), payload);
    EXPECT_EQ(Decompress(stored, payload.size() - 1), std::nullopt);

    // 50 MB of zeros in a small stream must not be inflated into memory.
    ZeroSource zeros(50'000'000);
    MemorySink bombSink;
    ASSERT_EQ(CompressStream(zeros, bombSink), 1);
    const Bytes bomb = bombSink.Detach();
    ASSERT_LT(bomb.size(), 1'000'000u);
    MemorySource source(bomb);
    MemorySink limited(1'000'000);
    EXPECT_EQ(DecompressStream(source, limited), 0);
    EXPECT_LE(limited.Length(), 1'000'000u);
    EXPECT_EQ(ui.warnings(), std::vector<std::string>{"Failed to decompress."});
}

TEST_F(CompressionTest, InflatingIntoARoomTakesExactlyTheStreamOrNothing) {
    const Bytes payload = Pattern(3000);
    const Bytes stored = Compress(payload);
    Bytes room(payload.size() + 10, 0xee);
    EXPECT_EQ(InflateInto(stored, room), payload.size());
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), room.begin()));
    EXPECT_EQ(room.back(), 0xee) << "nothing written past the stream";
    Bytes exact(payload.size());
    EXPECT_EQ(InflateInto(stored, exact), payload.size());
    Bytes small(payload.size() - 1);
    EXPECT_EQ(InflateInto(stored, small), std::nullopt);
    EXPECT_EQ(InflateInto(std::span(stored).first(stored.size() - 3), room), std::nullopt);
    const Bytes empty = Compress({});
    EXPECT_EQ(InflateInto(empty, std::span<std::uint8_t>()), 0u);
    EXPECT_TRUE(ui.warnings().empty());
}

TEST_F(CompressionTest, RefusedWriteFailsTheCompression) {
    const Bytes payload = Noise(10'000, 3);
    MemorySource source(payload);
    MemorySink sink(5'000);
    EXPECT_EQ(CompressStream(source, sink), 0);
    EXPECT_LE(sink.Length(), 5'000u);
}

// The routines keep their zlib state per thread: a stream broken off by an
// error must not leak into the next one, and threads must not share state.
TEST_F(CompressionTest, StreamsAfterAFailureAndOnOtherThreadsComeOutTheSame) {
    const Bytes payload = Pattern(300'000);
    const Bytes expected = Compress(payload);
    const Bytes stored = ReadFixture("entry_l9.z");

    const Bytes noiseBytes = Noise(50'000, 4);
    MemorySource noise(noiseBytes);
    MemorySink small(100);
    ASSERT_EQ(CompressStream(noise, small), 0);  // stopped halfway
    EXPECT_EQ(Compress(payload), expected);
    const Bytes cut(stored.begin(),
                    stored.begin() + static_cast<std::ptrdiff_t>(stored.size() / 2));
    EXPECT_EQ(Decompress(cut), std::nullopt);  // stopped halfway
    EXPECT_EQ(Decompress(expected), payload);
    EXPECT_EQ(ReferenceInflate(expected, payload.size()), payload);

    std::vector<int> sound(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            testing::RecordingUi own;
            for (int i = 0; i < 20; ++i) {
                const Bytes mine =
                    Noise(1'000 + 997 * static_cast<std::size_t>(i + t), static_cast<unsigned>(t));
                const auto packed = CompressPayload(i % 2 ? mine : payload, own);
                if (!packed || (i % 2 == 0 && *packed != expected)) return;
                if (DecompressPayload(*packed, 10'000'000, own) != (i % 2 ? mine : payload)) return;
            }
            sound[static_cast<std::size_t>(t)] = 1;
        });
    for (std::thread& th : threads) th.join();
    EXPECT_EQ(sound, std::vector<int>(4, 1));
}

TEST(MemorySinkTest, KeepsEverythingUpToItsLimitAndNothingPast) {
    MemorySink sink(3000);
    const Bytes chunk = Noise(1000, 9);
    ASSERT_TRUE(sink.Write(chunk.data(), chunk.size()));
    ASSERT_TRUE(sink.Write(chunk.data(), chunk.size()));
    EXPECT_FALSE(sink.Write(chunk.data(), 1001));
    ASSERT_TRUE(sink.Write(chunk.data(), 1000));
    EXPECT_FALSE(sink.Write(chunk.data(), 1));
    EXPECT_EQ(sink.Length(), 3000u);
    const Bytes all = sink.Detach();
    for (std::size_t off = 0; off < 3000; off += 1000) {
        EXPECT_TRUE(std::equal(chunk.begin(), chunk.end(), all.begin() + static_cast<long>(off)));
    }
}

// Damaged stored bytes end in a clean failure or a bounded result, never a
// crash (the sanitizer build runs this too).
TEST_F(CompressionTest, GarbageNeverCrashes) {
    const Bytes good = ReadFixture("entry_l9.z");
    std::mt19937 rng(11);
    int failures = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes stored;
        if (round % 2 == 0) {
            stored = Noise(rng() % 2048, static_cast<unsigned>(round));
            if (round % 4 == 0 && stored.size() >= 2) {
                stored[0] = 0x78;  // a valid header, then noise
                stored[1] = 0x9C;
            }
        } else {
            stored = good;
            for (int flips = 1 + static_cast<int>(rng() % 4); flips > 0; --flips) {
                stored[rng() % stored.size()] ^= static_cast<std::uint8_t>(1 + rng() % 255);
            }
        }
        const auto result = Decompress(stored, 8192);
        if (result) {
            EXPECT_LE(result->size(), 8192u);
        } else {
            ++failures;
        }
    }
    EXPECT_GT(failures, 2900);
    EXPECT_EQ(ui.warnings().size(), static_cast<std::size_t>(failures));
}

}  // namespace
}  // namespace tl::store
