// Memory while a PC that never reads is pushed ten 40 MB clips: what waits for one link stays
// under its bound, the link is dropped past it and the pushes are reported as not sent.
// "Hub" posts the clips to the hub itself; "Focus" runs the whole application in simulation
// mode and pushes a 40 MB file on each look at the PC's screen, looking back between pushes.
// Counters (MB): the resident size before the pushes, its peak during them, and the resident
// size 10 s after the PC closed its links; for the hub, the pushes it took before dropping the
// PC and those reported not sent.
#include "QuietHub.h"
#include "app/App.h"
#include "app/Log.h"
#include "link/Clip.h"
#include "link/Hub.h"
#include "link/Wire.h"
#include "platform/Platform.h"
#include "support/FakeAgent.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace {

const std::string secret(48, 'b');
constexpr std::size_t clipBytes = 40'000'000;
constexpr int pushes = 10;

void application() {
    static int argc = 1;
    static char name[] = "stuck_peer_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static auto* app = new QApplication(argc, argv);
    (void)app;
}

// A line of /proc/self/status in MB ("VmRSS", "VmHWM").
double statusMB(const std::string& key) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key + ":", 0) == 0)
            return std::stod(line.substr(key.size() + 1)) / 1024.0;
    }
    return 0;
}

// Runs the events for ms; a control link given is kept alive as an agent would keep it.
void pump(int ms, helm::fake::FakeAgent* ctl = nullptr) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (ctl)
            ctl->keepAlive();
    }
}

void BM_PushesToAPcThatNeverReads(benchmark::State& state) {
    application();
    double start = 0, peak = 0, after = 0, taken = 0, notSent = 0, told = 0;
    for (auto _ : state) {
        // The program's heartbeat, which also gives back the buffers of clips gone.
        auto hub = helm::bench::quietHub(secret, std::chrono::seconds(2));
        const std::uint16_t port = hub->listeningPort();
        helm::fake::FakeAgent ctl("pc-1"), data("pc-1");
        if (!ctl.connect(port) || !ctl.login(secret, "ctl") || !data.connect(port) ||
            !data.login(secret, "data"))
            std::abort();
        ctl.stopReading();
        data.stopReading();
        pump(50);
        start = statusMB("VmRSS");
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
        ctl.abortive();
        data.abortive();
        pump(10'000);
        after = statusMB("VmRSS");
        taken = posted;
        notSent = failed;
        told = reported;
    }
    state.counters["start_rss_mb"] = start;
    state.counters["peak_rss_mb"] = peak;
    state.counters["rss_after_close_mb"] = after;
    state.counters["pushes_taken"] = taken;
    state.counters["reported_not_sent"] = notSent;
    state.counters["reported"] = told;
}

void BM_FocusPushesToAPcThatNeverReads(benchmark::State& state) {
    application();
    qputenv("HELMVANTOR_HUB_PORT", "0");
    qputenv("HELMVANTOR_DISCOVERY_PORT", "0");
    double start = 0, peak = 0, after = 0;
    for (auto _ : state) {
        QTemporaryDir home;
        for (const char* v : {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME"})
            qputenv(v, (home.path() + "/" + v).toUtf8());
        const std::string file = home.path().toStdString() + "/clip.bin";
        {
            std::mt19937_64 random(7);
            std::string bytes(clipBytes, '\0');
            for (char& c : bytes)
                c = static_cast<char>(random());
            std::ofstream(file, std::ios::binary) << bytes;
        }
        helm::setLogPath(home.path().toStdString() + "/bench.log");
        helm::Defaults defaults;
        helm::App app(helm::CommandLine({"helmvantor", "--no-camera", "--test-port", "0"}),
                      defaults, helm::simPlatform());
        app.applicationDidFinishLaunching();
        helm::Hub& hub = app.hub();
        const std::uint16_t port = hub.listeningPort();
        hub.setPairCode("123456");
        hub.names();
        helm::fake::FakeAgent pairer("pc-1"), ctl("pc-1"), data("pc-1");
        if (!pairer.connect(port) || pairer.pairStart("123456") != "confirm")
            std::abort();
        hub.confirmPairing(true);
        auto paired = pairer.pairFinish("123456");
        if (!paired || !ctl.connect(port) || !ctl.login(paired->secret) || !data.connect(port) ||
            !data.login(paired->secret, "data"))
            std::abort();
        ctl.limitReadBuffer(1 << 20); // its lines are skipped: the PC's memory is not ours
        data.stopReading();
        pump(500, &ctl);
        const std::string here = "mac/1-1-1", there = "pc-1/7-8-9";
        helm::Layout layout;
        helm::Screen mac, pc;
        mac.id = here;
        mac.number = 1;
        pc.id = there;
        pc.number = 2;
        pc.computer = "pc-1";
        layout.screens = {mac, pc};
        app.setLayout(layout);
        start = statusMB("VmRSS");
        std::ofstream("/proc/self/clear_refs") << "5";
        for (int i = 0; i < pushes; ++i) {
            app.pasteboard().setFiles({file});
            app.apply({helm::Router::Effect::keys(here, there)});
            pump(300, &ctl);
            app.apply({helm::Router::Effect::keys(there, here)});
            pump(200, &ctl);
        }
        pump(8'000, &ctl);
        peak = statusMB("VmHWM");
        ctl.abortive();
        data.abortive();
        pump(10'000);
        after = statusMB("VmRSS");
        app.applicationWillTerminate();
    }
    state.counters["start_rss_mb"] = start;
    state.counters["peak_rss_mb"] = peak;
    state.counters["rss_after_close_mb"] = after;
}

BENCHMARK(BM_PushesToAPcThatNeverReads)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FocusPushesToAPcThatNeverReads)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
