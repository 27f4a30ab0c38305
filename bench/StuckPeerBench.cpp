// Memory while a PC that never reads is sent ten 40 MB clips: what waits for one link stays
// under its bound, and what it held is given back once the PC is gone.
// "Hub" posts the clips to the hub itself; "Focus" runs the whole application in simulation
// mode and pushes a 40 MB file on each look at the PC's screen, looking back between pushes;
// "Relays" runs it too and passes on another PC's 40 MB answer on each move from that PC's
// screen to the stuck one's.
// Counters (MB): the resident size before the clips, its peak while they are sent, and the
// resident size 10 s after the PC closed its links; for the hub, the pushes it took before
// dropping the PC and those reported not sent.
#include "QuietHub.h"
#include "app/App.h"
#include "app/Log.h"
#include "app/PairedAgent.h"
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
#include <functional>
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

// Runs the events for ms; a control link given is kept alive as an agent would keep it, and
// `each` runs between events.
void pump(int ms, helm::fake::FakeAgent* ctl = nullptr, const std::function<void()>& each = {}) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (ctl)
            ctl->keepAlive();
        if (each)
            each();
    }
}

// The whole program in simulation mode, its files in a temporary home.
struct Program {
    QTemporaryDir home;
    helm::Defaults defaults;
    std::unique_ptr<helm::App> app;

    Program() {
        qputenv("HELMVANTOR_HUB_PORT", "0");
        qputenv("HELMVANTOR_DISCOVERY_PORT", "0");
        for (const char* v : {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME"})
            qputenv(v, (home.path() + "/" + v).toUtf8());
        helm::setLogPath(home.path().toStdString() + "/bench.log");
        app = std::make_unique<helm::App>(
            helm::CommandLine({"helmvantor", "--no-camera", "--test-port", "0"}), defaults,
            helm::simPlatform());
        app->applicationDidFinishLaunching();
    }
    ~Program() { app->applicationWillTerminate(); }

    // A PC paired and logged in on its control link, and on its data link when one is given.
    std::unique_ptr<helm::fake::FakeAgent> pc(const std::string& name,
                                              helm::fake::FakeAgent* data = nullptr) {
        auto ctl = helm::test::pairedAgent(*app, name);
        if (!ctl || (data && !(data->connect(app->hub().listeningPort()) &&
                               data->login(ctl->secret, "data"))))
            std::abort();
        ctl->limitReadBuffer(1 << 20); // its lines are skipped: the PC's memory is not ours
        return ctl;
    }

    // This computer's screen and one screen of each PC named, in that order.
    void screens(const std::vector<std::string>& pcs) {
        helm::Layout layout;
        helm::Screen mac;
        mac.id = "mac/1-1-1";
        mac.number = 1;
        layout.screens = {mac};
        for (const std::string& name : pcs) {
            helm::Screen s;
            s.id = name + "/7-8-9";
            s.number = static_cast<int>(layout.screens.size()) + 1;
            s.computer = name;
            layout.screens.push_back(s);
        }
        app->setLayout(layout);
    }
};

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

// One look at `there` and back per clip, `prepare(i)` before each; the resident size before the
// clips, its peak while they go and 10 s after the PC of `there` closed its links, in MB.
// `each` runs between events, also after the PC closed.
void lookAndBack(benchmark::State& state, Program& p, const std::string& here,
                 const std::string& there, helm::fake::FakeAgent& ctl, helm::fake::FakeAgent& data,
                 const std::function<void(int)>& prepare, const std::function<void()>& each = {}) {
    pump(500, &ctl, each);
    const double start = statusMB("VmRSS");
    std::ofstream("/proc/self/clear_refs") << "5"; // the peak counts from here
    for (int i = 0; i < pushes; ++i) {
        prepare(i);
        p.app->apply({helm::Router::Effect::keys(here, there)});
        pump(300, &ctl, each);
        p.app->apply({helm::Router::Effect::keys(there, here)});
        pump(200, &ctl, each);
    }
    pump(8'000, &ctl, each);
    state.counters["start_rss_mb"] = start;
    state.counters["peak_rss_mb"] = statusMB("VmHWM");
    ctl.abortive();
    data.abortive();
    pump(10'000, nullptr, each);
    state.counters["rss_after_close_mb"] = statusMB("VmRSS");
}

void BM_FocusPushesToAPcThatNeverReads(benchmark::State& state) {
    application();
    for (auto _ : state) {
        Program p;
        const std::string file = p.home.path().toStdString() + "/clip.bin";
        {
            std::mt19937_64 random(7);
            std::string bytes(clipBytes, '\0');
            for (char& c : bytes)
                c = static_cast<char>(random());
            std::ofstream(file, std::ios::binary) << bytes;
        }
        helm::fake::FakeAgent data("pc-1");
        auto ctl = p.pc("pc-1", &data);
        data.stopReading();
        p.screens({"pc-1"});
        lookAndBack(state, p, "mac/1-1-1", "pc-1/7-8-9", *ctl, data,
                    [&](int) { p.app->pasteboard().setFiles({file}); });
    }
}

void BM_RelaysToAPcThatNeverReads(benchmark::State& state) {
    application();
    const auto answerBytes = static_cast<std::size_t>(state.range(0)) << 20;
    for (auto _ : state) {
        Program p;
        helm::fake::FakeAgent data("pc-2");
        auto from = p.pc("pc-1");
        auto to = p.pc("pc-2", &data);
        data.stopReading();
        p.screens({"pc-1", "pc-2"});
        // pc-1 answers every ask with a new clip, and stays alive.
        std::string reply;
        auto lastPing = std::chrono::steady_clock::now();
        auto answer = [&] {
            while (auto line = from->readSealed(1)) {
                if (*line == helm::Wire::askClip && !reply.empty()) {
                    from->sendSealed(reply);
                    std::string().swap(reply); // the PC's memory is not ours
                }
            }
            if (auto now = std::chrono::steady_clock::now();
                now - lastPing > std::chrono::seconds(1)) {
                from->sendSealed(helm::Wire::ping);
                lastPing = now;
            }
        };
        // Each move from pc-1's screen to pc-2's passes pc-1's answer on to pc-2.
        lookAndBack(
            state, p, "pc-1/7-8-9", "pc-2/7-8-9", *to, data,
            [&](int i) {
                reply = helm::Wire::setClip(helm::Clip::text(std::string(answerBytes, 'a' + i)));
                reply.insert(reply.find(' '), " 1");
            },
            answer);
    }
}

BENCHMARK(BM_PushesToAPcThatNeverReads)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FocusPushesToAPcThatNeverReads)->Iterations(1)->Unit(benchmark::kMillisecond);
// Answers of 40 MiB, 10 MiB and 4 MiB: the allocator maps a block of 32 MiB or more alone.
BENCHMARK(BM_RelaysToAPcThatNeverReads)
    ->Arg(40)
    ->Arg(10)
    ->Arg(4)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace
