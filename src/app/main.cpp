#include "app/App.h"
#include "app/CommandLine.h"
#include "app/DisplayCheck.h"
#include "app/Log.h"
#include "app/SimDisplays.h"
#include "app/menu/TrayStatusItem.h"
#include "app/render/GuideRenderer.h"
#include "desk/Defaults.h"
#include "gaze/camera/VideoFileSource.h"
#include "guide/OnboardingView.h"
#include "guide/Replay.h"
#include "link/Secret.h"
#include "platform/DefaultsFile.h"
#include "platform/TermSignal.h"
#include "platform/linux/BusCheck.h"
#include "platform/linux/V4l2Camera.h"
#include "platform/qt/QtDisplaySource.h"
#include "platform/sim/FakeDisplaySource.h"
#include "platform/x11/X11Server.h"

#include <QApplication>
#include <QTimer>

#include <iostream>
#include <memory>

int main(int argc, char** argv) {
    using namespace helm;

    // Taken before Qt removes the options it knows from argv.
    CommandLine commandLine(argc, argv);
    VideoFileSource::quiet(); // before any thread reads the environment
    // The pictures and the replay need no display, log or defaults: they run before anything
    // of the program, the pictures first when both are asked for. "--render-guide" without a
    // folder counts as absent.
    if (std::optional<std::string> folder = commandLine.arg("--render-guide")) {
        return runGuideRenderer(argc, argv, *folder);
    }
    if (std::optional<std::string> folder = commandLine.arg("--replay")) {
        const int status = Replay::run(*folder, std::cout, std::cerr);
        std::cout.flush();
        return status;
    }
    if (std::optional<std::string> usage = commandLine.missingValue()) {
        std::cerr << *usage << '\n';
        return 2;
    }
    if (std::optional<std::string> line =
            missingDisplay(commandLine, qEnvironmentVariable("QT_QPA_PLATFORM").toStdString(),
                           x11ServerReachable)) {
        std::cerr << *line << '\n';
        return 1;
    }
    // Before Qt or a library of the desktop opens a message bus: Qt waits for the session bus
    // on the main thread, and one that accepts and never answers would hold start-up for good.
    const BusCheck::Result buses = BusCheck::run();
    BusCheck::shut(buses);
    QApplication application(argc, argv);
    // Qt may have chosen another platform by itself; the log is made only for a run that goes on.
    if (std::optional<std::string> line =
            refusedPlatform(commandLine, QGuiApplication::platformName().toStdString())) {
        std::cerr << *line << '\n';
        return 1;
    }
    setUpLogPath();
    for (const std::string& line : buses.lines) {
        log(line);
    }
    // A tray program lives on with no window open.
    QApplication::setQuitOnLastWindowClosed(false);

    // A simulation run keeps its preferences in memory: the user's own file stays as it is.
    auto defaults = commandLine.simOnly()
                        ? std::make_unique<Defaults>()
                        : std::make_unique<Defaults>(
                              std::make_unique<DefaultsFile>(DefaultsFile::standardPath()),
                              [](const std::string& line) { log(line); });
    // The desktop's services on the X11 session, unless it is being simulated.
    const bool desktop = !commandLine.simOnly();
    Platform platform =
        desktop ? x11Platform(Secret::service, [](const std::string& line) { log(line); })
                : simPlatform();
    if (desktop) {
        platform.statusItem = std::make_unique<TrayStatusItem>(
            [](const std::string& line) { log(line); }, buses.watcher);
    } else {
        // The camera is read in simulation mode too, unless --no-camera says otherwise.
        platform.camera = std::make_shared<V4l2Camera>();
    }
    if (commandLine.simOnly()) {
        // This computer's screens are in the layout as at any launch, so a script can bring
        // focus back to them.
        if (std::optional<std::vector<DisplayInfo>> list = simDisplays()) {
            platform.displays = std::make_unique<FakeDisplaySource>(std::move(*list));
        } else {
            platform.displays = std::make_unique<QtDisplaySource>();
        }
    }
    App app(commandLine, *defaults, std::move(platform));
    app.makeGuideView = [&defaults](OnboardingModel& model, DeskModel& desk) {
        return std::unique_ptr<QWidget>(std::make_unique<OnboardingView>(model, desk, *defaults));
    };

    // SIGTERM ends the event loop in order, so the quit sequence runs.
    TermSignal term([] { QCoreApplication::quit(); });
    QObject::connect(&application, &QCoreApplication::aboutToQuit,
                     [&app] { app.applicationWillTerminate(); });

    QTimer::singleShot(0, [&app] { app.applicationDidFinishLaunching(); });
    application.exec();
    return 0;
}
