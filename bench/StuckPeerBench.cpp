// Memory while a PC that never reads is pushed ten 40 MB clips: the hub keeps what waits for one
// link under its bound, drops the link past it and reports the pushes as not sent. Counters: the
// peak resident size during the pushes and the size once they are over (MB), the pushes the hub
// took before dropping the PC, and those reported not sent.
#include "QuietHub.h"
#include "link/Clip.h"
#include "link/Hub.h"
#include "link/Wire.h"
#include "support/FakeAgent.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <fstream>
#include <memory>
#include <string>

namespace {

const std::string secret(48, 'b');
constexpr std::size_t clipBytes = 40'000'000;
constexpr int pushes = 10;

// A line of /proc/self/status in MB ("VmRSS", "VmHWM").
double statusMB(const std::string& key) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key + ":", 0) == 0)
            return std::stod(line.substr(key.size() + 1)) / 1024.0;
    }
    return 0;
}

void pump(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void BM_PushesToAPcThatNeverReads(benchmark::State& state) {
    double peak = 0, after = 0, taken = 0, notSent = 0, told = 0;
    for (auto _ : state) {
        auto hub = helm::bench::quietHub(secret);
        const std::uint16_t port = hub->listeningPort();
        helm::fake::FakeAgent ctl("pc-1"), data("pc-1");
        if (!ctl.connect(port) || !ctl.login(secret, "ctl") || !data.connect(port) ||
            !data.login(secret, "data"))
            std::abort();
        ctl.stopReading();
        data.stopReading();
        pump(50);
        std::ofstream("/proc/self/clear_refs") << "5"; // the peak counts from here
        int posted = 0, reported = 0, failed = 0;
        for (int i = 0; i < pushes && !hub->names().empty(); ++i, ++posted) {
            std::string line =
                helm::Wire::setClip(helm::Clip::text(std::string(clipBytes, 'a' + i)));
            hub->postData(std::move(line), "pc-1", [&](bool written) {
                ++reported;
                failed += written ? 0 : 1;
            });
            pump(100); // pushes come one focus move after another
        }
        for (int i = 0; i < 100 && reported < posted; ++i)
            pump(50);
        peak = statusMB("VmHWM");
        after = statusMB("VmRSS");
        taken = posted;
        notSent = failed;
        told = reported;
    }
    state.counters["peak_rss_mb"] = peak;
    state.counters["rss_after_mb"] = after;
    state.counters["pushes_taken"] = taken;
    state.counters["reported_not_sent"] = notSent;
    state.counters["reported"] = told;
}

BENCHMARK(BM_PushesToAPcThatNeverReads)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
