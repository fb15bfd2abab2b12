#include "datafiles/plik.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

namespace {

// A whole-file check: one CRC-32 pass over a 1 MiB image.
void BM_Crc32OneMiB(benchmark::State& state) {
    std::vector<uint8_t> data(1u << 20);
    uint32_t seed = 12345;
    for (auto& b : data) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<uint8_t>(seed >> 16);
    }
    for (auto _ : state) benchmark::DoNotOptimize(kiv::Crc32(data.data(), data.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.size()));
}
BENCHMARK(BM_Crc32OneMiB);

} // namespace
