#include "link/Sealer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using helm::Key;
using helm::Sealer;

const Key key = [] {
    Key k{};
    for (std::size_t i = 0; i < k.size(); ++i) {
        k[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    return k;
}();

void sealLines(benchmark::State& state) {
    const std::string line(static_cast<std::size_t>(state.range(0)), 'x');
    Sealer out(key);
    for (auto _ : state) {
        benchmark::DoNotOptimize(out.seal(line));
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void openLines(benchmark::State& state) {
    const std::string line(static_cast<std::size_t>(state.range(0)), 'x');
    // Seal ahead in batches so only the opening is timed.
    Sealer out(key), in(key);
    std::vector<std::string> batch;
    for (auto _ : state) {
        if (batch.empty()) {
            state.PauseTiming();
            for (int i = 0; i < (state.range(0) > 1'000'000 ? 1 : 64); ++i) {
                batch.push_back(out.seal(line));
            }
            std::reverse(batch.begin(), batch.end());
            state.ResumeTiming();
        }
        auto plain = in.open(batch.back());
        if (!plain) {
            state.SkipWithError("a sealed line failed to open");
        }
        benchmark::DoNotOptimize(plain);
        batch.pop_back();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

// 100-byte lines are typical input lines; 100,000,000 bytes is the largest clip line.
BENCHMARK(sealLines)->Arg(100)->Arg(100'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(openLines)->Arg(100)->Arg(100'000'000)->Unit(benchmark::kMicrosecond);

} // namespace
