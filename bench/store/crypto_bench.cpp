// The cipher is on the path of every scan of the data file; these figures
// show what one record header, one unit and one key schedule cost, and what
// compressing an entry text costs.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "res/user_interface.h"
#include "store/blowfish.h"
#include "store/compression.h"
#include "store/data_file_key.h"

namespace {

using tl::store::CBlowfish;

CBlowfish Keyed() {
    const auto key = tl::store::DeriveDataFileKey();
    CBlowfish bf;
    bf.Initialize(reinterpret_cast<const std::uint8_t*>(key.data()), 32);
    return bf;
}

// Bytes: 24 (a record header), 128 (a unit), 64 KiB (a large record).
void BM_Decrypt(benchmark::State& state) {
    const CBlowfish bf = Keyed();
    std::vector<std::uint8_t> buf(static_cast<std::size_t>(state.range(0)), 0x5A);
    for (auto _ : state) {
        bf.Decrypt(buf.data(), buf.data(), buf.size());
        benchmark::DoNotOptimize(buf.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Decrypt)->Arg(24)->Arg(128)->Arg(64 << 10);

void BM_Encrypt(benchmark::State& state) {
    const CBlowfish bf = Keyed();
    std::vector<std::uint8_t> buf(static_cast<std::size_t>(state.range(0)), 0x5A);
    for (auto _ : state) {
        benchmark::DoNotOptimize(bf.Encrypt(buf.data(), buf.data(), buf.size()));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Encrypt)->Arg(128)->Arg(64 << 10);

void BM_KeySchedule(benchmark::State& state) {
    const auto key = tl::store::DeriveDataFileKey();
    CBlowfish bf;
    for (auto _ : state) {
        bf.Initialize(reinterpret_cast<const std::uint8_t*>(key.data()), 32);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_KeySchedule);

// An entry text of range(0) bytes of UTF-16 prose-like content.
std::vector<std::uint8_t> EntryText(std::size_t n) {
    static const char kWords[] = "today the weather was fine and we walked along the river ";
    std::vector<std::uint8_t> text(n);
    for (std::size_t i = 0; i < n; ++i) {
        text[i] = i % 2 ? 0 : static_cast<std::uint8_t>(kWords[(i / 2) % (sizeof kWords - 1)]);
    }
    return text;
}

void BM_CompressPayload(benchmark::State& state) {
    const auto text = EntryText(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(tl::store::CompressPayload(text, tl::res::Silent()));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CompressPayload)->Arg(4 << 10)->Arg(1 << 20);

void BM_DecompressPayload(benchmark::State& state) {
    const auto text = EntryText(static_cast<std::size_t>(state.range(0)));
    const auto stored = tl::store::CompressPayload(text, tl::res::Silent()).value();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            tl::store::DecompressPayload(stored, text.size(), tl::res::Silent()));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DecompressPayload)->Arg(4 << 10)->Arg(1 << 20);

}  // namespace

BENCHMARK_MAIN();
