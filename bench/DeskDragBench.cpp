// The main thread's time per drag event while a screen is dragged in the desk map: the map's
// own work, the desk's change with its stored copies, and the writes of the defaults file that
// the drag makes along the way, spread over the events. Three screens and three setups, each
// calibrated nine points a screen, in a defaults file of about 70 KB as a real desk's, on this
// machine's disk (/tmp) and on tmpfs (/dev/shm). Moves come at 125 Hz, as a mouse sends them;
// the time between them is not counted. "live" is the program as it is; "each" stores every
// event at once, as the program did before a drag's writes were held back.
// Counters: the largest single event (ms), the file writes per second and the file's size (kB).
#include "app/App.h"
#include "desk/CalCorner.h"
#include "platform/DefaultsFile.h"
#include "windows/ScreenMap.h"

#include <QApplication>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// The defaults file, counting its writes.
struct CountedFile : helm::DefaultsFile {
    using DefaultsFile::DefaultsFile;
    int writes = 0;
    std::optional<helm::WriteFailure> save(const std::string& text) override {
        ++writes;
        return DefaultsFile::save(text);
    }
};

QApplication& application() {
    static int argc = 1;
    static char name[] = "desk_drag_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Never destroyed: the program's fonts outlive what a static's end could tear down.
    static auto* app = new QApplication(argc, argv);
    (void)QPointingDevice::primaryPointingDevice();
    return *app;
}

helm::Layout calibratedDesk() {
    helm::Layout l;
    for (int i = 0; i < 3; ++i) {
        helm::Screen s;
        s.id = i == 2 ? "work-pc/10-20-3" + std::to_string(i) : "mac/4-5-6" + std::to_string(i);
        s.number = i + 1;
        s.name = "DELL U2720Q";
        s.computerName = i == 2 ? "WORK PC" : "Studio";
        if (i == 2) {
            s.computer = "work-pc";
        }
        s.display = i;
        s.yaw = i * 48.0 - 48;
        s.width = 46.4;
        s.height = 27.3;
        s.learned = true;
        s.rect = helm::Rect3{{s.yaw, 10, -60}, {1, 0, 0}, 30, 17};
        s.mm = std::vector<double>{600, 340};
        s.px = std::vector<double>{2560, 1440};
        l.screens.push_back(s);
    }
    l.bias = helm::Angle{1.5, -2.25};
    l.seat = helm::V3{0.4, -7.8, 55.2};
    l.keyboard = helm::V3{0, -32, 30};
    l.mix = 0.5;
    l.eyeSign = helm::Angle{1, -1};
    helm::CalRecord r;
    auto step = [&](helm::CalTarget t, std::string prompt, double yaw) {
        r.steps.push_back({std::move(t), std::move(prompt)});
        r.heads.push_back({yaw + 0.123456789, -3.987654321});
        r.eyes.push_back({yaw / 10 + 0.0123456789, 1.23456789});
        r.positions.push_back(helm::V3{0.123456789, -7.98765432, 55.123456789});
    };
    step(helm::CalTarget::camera(), "Look at the camera and hold still.", 0);
    step(helm::CalTarget::turnRight(), "Turn your head to the right.", 30);
    for (const helm::Screen& s : l.screens) {
        for (helm::CalCorner c : helm::allCalCorners) {
            step(helm::CalTarget::corner(s.id, c),
                 "Screen " + std::to_string(s.number) + ": look at the green dot and hold.", s.yaw);
        }
    }
    step(helm::CalTarget::keyboard(), "Look down at your keyboard.", 0);
    l.cal = r;
    return l;
}

void drag(benchmark::State& state, const char* folder, bool live) {
    application();
    QTemporaryDir dir(QString(folder) + "/desk-drag-XXXXXX");
    const std::string path = dir.path().toStdString() + "/defaults.json";
    auto file = std::make_unique<CountedFile>(path);
    CountedFile& counted = *file;
    helm::Defaults defaults(std::move(file), nullptr);
    helm::App app(helm::CommandLine({"helmvantor"}), defaults, helm::simPlatform());
    app.setLayout(calibratedDesk());
    app.setups().list.push_back({"Work", calibratedDesk()});
    app.setups().list.push_back({"Setup 3", calibratedDesk()});
    app.saveSetups();
    if (!live) {
        app.desk().onDragging = nullptr;
    }
    helm::ScreenMap map(app.desk(), true);
    map.resize(558, 513);
    auto send = [&](QEvent::Type type, QPointF at) {
        QMouseEvent e(type, at, map.mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
        QApplication::sendEvent(&map, &e);
    };
    const helm::MapGeometry::Box box =
        helm::MapGeometry::box(*map.mapping(), app.layout().rightSign, app.layout().screens[1]);
    const QPointF from(box.x + box.w / 2, box.y + box.h / 2);
    const int writesBefore = counted.writes;
    double longest = 0;
    int step = 0;
    send(QEvent::MouseButtonPress, from);
    const auto start = Clock::now();
    auto next = start;
    for (auto _ : state) {
        ++step;
        // Back and forth over a few dozen points, as a hand moves a box into place.
        const double dx = 40 * std::sin(step * 0.05);
        const auto t0 = Clock::now();
        send(QEvent::MouseMove, from + QPointF(dx, dx / 4));
        QCoreApplication::processEvents(); // the timer that stores what was held back
        const double took = std::chrono::duration<double>(Clock::now() - t0).count();
        state.SetIterationTime(took);
        longest = std::max(longest, took * 1000);
        next += std::chrono::milliseconds(8);
        std::this_thread::sleep_until(next);
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.counters["writes_per_s"] = (counted.writes - writesBefore) / seconds;
    send(QEvent::MouseButtonRelease, from);
    state.counters["longest_ms"] = longest;
    state.counters["file_kB"] = QFileInfo(QString::fromStdString(path)).size() / 1000.0;
}

void BM_DragEvent(benchmark::State& state) {
    const char* folder = state.range(0) == 0 ? "/tmp" : "/dev/shm";
    drag(state, folder, state.range(1) == 1);
    state.SetLabel(std::string(state.range(0) == 0 ? "disk" : "tmpfs") +
                   (state.range(1) == 1 ? " live" : " each"));
}
BENCHMARK(BM_DragEvent)
    ->ArgsProduct({{0, 1}, {1, 0}})
    ->UseManualTime()
    ->Iterations(500)
    ->Unit(benchmark::kMicrosecond);

} // namespace
