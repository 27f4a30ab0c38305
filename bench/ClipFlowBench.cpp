// Input lines while a 100 MB clip crosses the link. Out: pointer lines posted at 1,000 Hz on the
// control link while a file clip goes out on the data link. In: "L m" lines sent by the PC at
// 1,000 Hz and relayed by the hub's fast-move hook while a clip reply comes in on the data link.
// Counters: the largest gap between two input lines, the same for the pacing thread itself (a
// late wake-up of the sender is the machine's, not the hub's), the 99th-percentile and largest
// line latency (ms) and the clip's throughput (MB/s).
#include "QuietHub.h"
#include "link/Hub.h"
#include "link/Wire.h"
#include "support/FakeAgent.h"

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
const std::string secret(48, 'a');
constexpr std::size_t clipBytes = 100'000'000;

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

std::unique_ptr<helm::Hub> startHub() {
    return helm::bench::quietHub(secret);
}

// An agent logged in on its own thread, as a real PC's sockets are independent of ours.
std::unique_ptr<helm::fake::FakeAgent> agent(std::uint16_t port, const std::string& role) {
    auto a = std::make_unique<helm::fake::FakeAgent>("pc-1");
    if (!a->connect(port) || !a->login(secret, role))
        std::abort();
    if (role == "ctl" && a->readSealed() != "D")
        std::abort();
    return a;
}

void report(benchmark::State& state, std::vector<Clock::time_point> sent,
            std::vector<Clock::time_point> got, Clock::duration clipTime) {
    std::vector<double> latency;
    double gap = 0, sentGap = 0;
    for (std::size_t i = 0; i < got.size(); ++i) {
        latency.push_back(ms(got[i] - sent[i]));
        if (i > 0) {
            gap = std::max(gap, ms(got[i] - got[i - 1]));
            sentGap = std::max(sentGap, ms(sent[i] - sent[i - 1]));
        }
    }
    std::sort(latency.begin(), latency.end());
    state.counters["lines"] = static_cast<double>(got.size());
    state.counters["max_gap_ms"] = gap;
    state.counters["sent_gap_ms"] = sentGap;
    state.counters["max_ms"] = latency.empty() ? 0 : latency.back();
    state.counters["p99_ms"] = latency.empty() ? 0 : latency[latency.size() * 99 / 100];
    state.counters["clip_MBps"] = clipBytes / 1e6 / (ms(clipTime) / 1000);
}

// Sends line i at start + i ms until stop, recording when each was handed over.
template <class Send> std::vector<Clock::time_point> paced(std::atomic<bool>& stop, Send send) {
    std::vector<Clock::time_point> sent;
    const auto start = Clock::now();
    for (int i = 0; !stop; ++i) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(i));
        sent.push_back(Clock::now());
        send(i);
    }
    return sent;
}

void BM_PointerLinesWhileAClipGoesOut(benchmark::State& state) {
    auto hub = startHub();
    const std::uint16_t port = hub->listeningPort();
    const helm::Clip files = helm::Clip::files({{"big.bin", helm::Bytes(clipBytes, 0x5a)}});
    for (auto _ : state) {
        // Built and handed over as the program does: encoded by the wire, moved, not copied.
        std::string clip = helm::Wire::setClip(files);
        const std::size_t lineSize = clip.size();
        std::atomic<bool> stop{false};
        std::atomic<int> ready{0};
        std::vector<Clock::time_point> got;
        Clock::time_point clipDone;
        std::thread ctl([&] {
            auto a = agent(port, "ctl");
            ++ready;
            while (!stop || got.size() < 1) {
                auto line = a->readSealed(200);
                if (line && line->rfind("m ", 0) == 0)
                    got.push_back(Clock::now());
                else if (!line && stop)
                    break;
            }
        });
        std::thread data([&] {
            auto a = agent(port, "data");
            ++ready;
            // Counted, not kept: what the PC does with the line is the PC's work.
            auto size = a->skipLine(120'000);
            if (!size || *size != helm::Sealer::sealedSize(lineSize))
                std::abort();
            clipDone = Clock::now();
        });
        while (ready < 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const auto clipStart = Clock::now();
        hub->postData(std::move(clip), "pc-1");
        std::thread stopper([&] {
            data.join();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            stop = true;
        });
        auto sent = paced(stop, [&](int i) { hub->post(helm::Wire::move(i, 0), "pc-1"); });
        stopper.join();
        ctl.join();
        got.resize(std::min(got.size(), sent.size()));
        report(state, sent, got, clipDone - clipStart);
    }
}
BENCHMARK(BM_PointerLinesWhileAClipGoesOut)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

void BM_RelayedMovesWhileAClipComesIn(benchmark::State& state) {
    auto hub = startHub();
    const std::uint16_t port = hub->listeningPort();
    std::mutex m;
    std::vector<Clock::time_point> got;
    hub->fastMove = [&](const std::string&, std::int64_t, std::int64_t) {
        std::lock_guard<std::mutex> lock(m);
        got.push_back(Clock::now());
        return true;
    };
    std::atomic<bool> clipIn{false};
    Clock::time_point clipDone;
    hub->onClip = [&](const std::string&, std::int64_t, std::optional<helm::Clip> c) {
        if (!c || c->bytes() != clipBytes)
            std::abort();
        clipDone = Clock::now();
        clipIn = true;
    };
    const std::string reply =
        "cf 1 " +
        helm::Wire::setClip(helm::Clip::files({{"big.bin", helm::Bytes(clipBytes, 0x5a)}}))
            .substr(3);
    for (auto _ : state) {
        std::atomic<bool> stop{false};
        std::atomic<int> ready{0};
        got.clear();
        Clock::time_point clipStart;
        std::vector<Clock::time_point> sent;
        std::thread ctl([&] {
            auto a = agent(port, "ctl");
            ++ready;
            while (ready < 2)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            sent = paced(stop, [&](int) { a->sendSealed("L m 5 -3"); });
        });
        std::thread data([&] {
            auto a = agent(port, "data");
            ++ready;
            while (ready < 2)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            // Sealed ahead: the time is the line's crossing and the hub's work, not the fake's.
            const std::string sealed = a->out.seal(reply) + "\n";
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            clipStart = Clock::now();
            a->sendRaw(sealed);
            while (!stop)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        });
        // A clip that stalls reports an error instead of holding the run for ever.
        const auto deadline = Clock::now() + std::chrono::seconds(120);
        while (!clipIn && Clock::now() < deadline) {
            // Sleeps between looks: a spinning main thread would take a core from the hub.
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        stop = true;
        ctl.join();
        data.join();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (!clipIn) {
            state.SkipWithError("the clip did not arrive within 120 s");
            break;
        }
        std::lock_guard<std::mutex> lock(m);
        std::vector<Clock::time_point> g = got;
        g.resize(std::min(g.size(), sent.size()));
        report(state, sent, g, clipDone - clipStart);
    }
}
BENCHMARK(BM_RelayedMovesWhileAClipComesIn)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace
