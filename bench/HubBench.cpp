// Sealed pointer-move lines from the hub to one agent over loopback: lines per second, and the
// time from `post` until the agent has read and opened the line (median).
#include "QuietHub.h"
#include "link/Hub.h"
#include "link/Wire.h"
#include "support/FakeAgent.h"

#include <QCoreApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <vector>

namespace {

struct Setup {
    std::unique_ptr<helm::Hub> hub;
    std::unique_ptr<helm::fake::FakeAgent> agent;
};

Setup connect() {
    const std::string secret(48, 'a');
    Setup s;
    s.hub = helm::bench::quietHub(secret);
    s.agent = std::make_unique<helm::fake::FakeAgent>("pc-1");
    if (!s.agent->connect(s.hub->listeningPort()) || !s.agent->login(secret) ||
        s.agent->readSealed() != "D")
        std::abort();
    return s;
}

void BM_HubMoveLines(benchmark::State& state) {
    Setup s = connect();
    const std::string line = helm::Wire::move(3, -2);
    constexpr int batch = 1000;
    for (auto _ : state) {
        for (int i = 0; i < batch; ++i)
            s.hub->post(line, "pc-1");
        for (int i = 0; i < batch; ++i)
            if (s.agent->readSealed() != line)
                std::abort();
    }
    state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(BM_HubMoveLines)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime(); // the hub works on its own thread

void BM_HubPostToRead(benchmark::State& state) {
    Setup s = connect();
    const std::string line = helm::Wire::move(3, -2);
    std::vector<double> micros;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        s.hub->post(line, "pc-1");
        if (s.agent->readSealed() != line)
            std::abort();
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0)
                .count());
    }
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros.empty() ? 0 : micros[micros.size() / 2];
}
BENCHMARK(BM_HubPostToRead)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
