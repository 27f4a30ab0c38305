// The main thread while another program's clipboard holds a 50 MB picture and a push reads it,
// as the hand-over does: through Qt on the main thread (as it was), and over a connection of
// our own on the clipboard's queue (as it is), the picture then encoded into its line there.
// The holder is this program started again. Counter max_stall_ms: the longest the main thread's
// event loop went without running (a 1 ms timer's largest gap, the main thread's own steps
// included); read_ms: the whole read. The same loop while nothing happens gives the machine's
// own late wake-ups. Needs an X server; on a busy machine a real-time priority keeps the
// scheduler's delays out of the figures:
//   xvfb-run -a -s "-screen 0 640x480x24" chrt -f 5 build/default/bench/clipboard_stall_bench
#include "link/MacClipboard.h"
#include "link/Wire.h"
#include "platform/SerialQueue.h"
#include "platform/qt/QtPasteboard.h"
#include "platform/x11/X11ClipboardReader.h"

#include <benchmark/benchmark.h>

#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;
constexpr qsizetype pictureBytes = 50'000'000;
std::string self;

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Starts the holder and waits until it owns the clipboard and we have seen it take it.
std::unique_ptr<QProcess> holder() {
    auto p = std::make_unique<QProcess>();
    p->start(QString::fromStdString(self), {"--hold"});
    std::string out;
    QElapsedTimer t;
    t.start();
    while (out.find("ready\n") == std::string::npos && t.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        p->waitForReadyRead(10);
        out += p->readAllStandardOutput().toStdString();
    }
    if (out.find("ready\n") == std::string::npos)
        std::abort();
    for (t.restart(); t.elapsed() < 300;)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return p;
}

void stop(QProcess& p) {
    p.kill();
    p.waitForFinished();
}

std::size_t pictureSize(const helm::MacClipboard::Result& r) {
    const auto* i = r.clip ? std::get_if<helm::Clip::Image>(&r.clip->value) : nullptr;
    return i ? i->png.size() : 0;
}

void BM_ThroughQtOnTheMainThread(benchmark::State& state) {
    auto p = holder();
    helm::QtPasteboard pb;
    double stall = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        helm::MacClipboard::Result r = helm::MacClipboard::read(pb);
        stall = std::max(stall, ms(Clock::now() - start));
        if (pictureSize(r) != static_cast<std::size_t>(pictureBytes))
            state.SkipWithError("the picture did not arrive whole");
    }
    state.counters["max_stall_ms"] = stall;
    state.counters["read_ms"] = stall;
    stop(*p);
}

// Runs work on the queue while the main thread's event loop turns; the longest the loop went
// without running a 1 ms timer, and the whole time.
std::pair<double, double> whileQueued(helm::SerialQueue& queue, std::function<void()> work) {
    QEventLoop loop;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    const auto start = Clock::now();
    auto last = start;
    double stall = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        stall = std::max(stall, ms(now - last));
        last = now;
    });
    tick.start();
    queue.post([&] {
        work();
        QMetaObject::invokeMethod(
            &loop, [&] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec();
    return {stall, ms(Clock::now() - start)};
}

void BM_OverOwnConnectionOnTheQueue(benchmark::State& state) {
    auto p = holder();
    helm::QtPasteboard pb(
        [](std::uint64_t most) { return std::make_shared<helm::X11ClipboardReader>(most); });
    helm::SerialQueue queue("pivmor.clipboard");
    double stall = 0, read = 0;
    for (auto _ : state) {
        std::size_t got = 0;
        const auto before = Clock::now();
        auto look = std::make_shared<helm::MacClipboard::Look>(helm::MacClipboard::look(pb));
        const double onMain = ms(Clock::now() - before);
        auto [gap, took] = whileQueued(queue, [&] {
            helm::MacClipboard::Result r = helm::MacClipboard::load(std::move(*look));
            got = pictureSize(r);
            if (r.clip) {
                const std::string line = helm::Wire::setClip(*r.clip);
                benchmark::DoNotOptimize(line.data());
            }
        });
        stall = std::max({stall, gap, onMain});
        read = std::max(read, took + onMain);
        if (got != static_cast<std::size_t>(pictureBytes))
            state.SkipWithError("the picture did not arrive whole");
    }
    state.counters["max_stall_ms"] = stall;
    state.counters["read_ms"] = read;
    stop(*p);
}

// The same loop while the queue only waits for a second: the machine's own late wake-ups.
void BM_NothingOnTheQueue(benchmark::State& state) {
    helm::SerialQueue queue("pivmor.clipboard");
    double stall = 0;
    for (auto _ : state) {
        auto gap = whileQueued(queue, [] { std::this_thread::sleep_for(std::chrono::seconds(1)); });
        stall = std::max(stall, gap.first);
    }
    state.counters["max_stall_ms"] = stall;
}

BENCHMARK(BM_ThroughQtOnTheMainThread)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OverOwnConnectionOnTheQueue)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NothingOnTheQueue)->Iterations(3)->Unit(benchmark::kMillisecond);

// The holder: owns the clipboard with the picture's bytes until it is killed.
int hold() {
    auto* m = new QMimeData;
    QByteArray bytes(pictureBytes, 0);
    for (qsizetype i = 0; i < pictureBytes; ++i)
        bytes[i] = static_cast<char>(i * 7 % 251);
    m->setData("image/png", bytes);
    QGuiApplication::clipboard()->setMimeData(m, QClipboard::Clipboard);
    std::printf("ready\n");
    std::fflush(stdout);
    return QGuiApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    // As the program runs: its allocator asks for huge pages on big blocks.
    QGuiApplication app(argc, argv);
    self = argv[0];
    if (argc >= 2 && std::string(argv[1]) == "--hold")
        return hold();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
