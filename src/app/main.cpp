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
#include "platform/linux/OneCopy.h"
#include "platform/linux/V4l2Camera.h"
#include "platform/qt/QtDisplaySource.h"
#include "platform/sim/FakeDisplaySource.h"
#include "platform/x11/X11Server.h"

#include <QApplication>
#include <QTimer>

#include <chrono>
#include <iostream>
#include <memory>

namespace {

// One copy per user and display outside simulation mode: a later start shows the running copy
// and ends. Answers the exit status when this copy is not to run.
std::optional<int> oneCopyOnly(const helm::CommandLine& commandLine,
                               std::unique_ptr<helm::OneCopy>& copy) {
    using helm::OneCopy;
    std::string problem;
    const std::optional<std::string> folder = OneCopy::folder(problem);
    if (folder) {
        const std::string display =
            commandLine.arg("-display").value_or(qEnvironmentVariable("DISPLAY").toStdString());
        copy = std::make_unique<OneCopy>(*folder, display);
        // A copy started in another's place waits for that one to go.
        const auto lockWait = qEnvironmentVariableIsSet("HELMVANTOR_RELAUNCHED")
                                  ? std::chrono::seconds(5)
                                  : std::chrono::seconds(0);
        switch (copy->claim(std::chrono::seconds(3), lockWait)) {
        case OneCopy::Claim::first:
            return std::nullopt;
        case OneCopy::Claim::shown:
            std::cout << "Helmvantor already runs on this display: its "
                      << (copy->shown() == "guide" ? "setup guide" : "settings window")
                      << " is open." << std::endl;
            return 0;
        case OneCopy::Claim::silent: {
            const std::string pid =
                copy->holder() ? " (pid " + std::to_string(*copy->holder()) + ")" : "";
            std::cerr << "Helmvantor already runs on this display" << pid
                      << " but does not answer; end it before starting another." << std::endl;
            return 1;
        }
        case OneCopy::Claim::unavailable:
            problem = copy->problem();
            copy.reset();
            break;
        }
    }
    std::cerr << "Helmvantor can't look for another copy of itself (" << problem
              << "); starting all the same." << std::endl;
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    using namespace helm;

    // Before anything else: SIGINT, SIGHUP and SIGTERM end the process at once until the
    // application can quit in order.
    TermSignal::install();
    // Taken before Qt removes the options it knows from argv.
    const CommandLineCheck check = CommandLine::check(std::vector<std::string>(argv, argv + argc));
    switch (check.verdict) {
    case CommandLineCheck::Verdict::help:
        std::cout << CommandLine::usage();
        return 0;
    case CommandLineCheck::Verdict::version:
        std::cout << CommandLine::version() << '\n';
        return 0;
    case CommandLineCheck::Verdict::refuse:
        std::cerr << check.error << '\n' << CommandLine::usage();
        return 2;
    case CommandLineCheck::Verdict::run:
        break;
    }
    const CommandLine& commandLine = check.line;
    VideoFileSource::quiet(); // before any thread reads the environment
    // The pictures and the replay need no display, log or defaults: they run before anything
    // of the program, the pictures first when both are asked for.
    if (const std::optional<std::string>& folder = commandLine.renderGuide()) {
        return runGuideRenderer(argc, argv, *folder);
    }
    if (const std::optional<std::string>& folder = commandLine.replay()) {
        const int status = Replay::run(*folder, std::cout, std::cerr);
        std::cout.flush();
        return status;
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
    // Simulation runs, each with ports of its own, may run side by side.
    std::unique_ptr<OneCopy> copy;
    if (!commandLine.simOnly()) {
        if (std::optional<int> status = oneCopyOnly(commandLine, copy)) {
            return *status;
        }
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

    QObject::connect(&application, &QCoreApplication::aboutToQuit,
                     [&app] { app.applicationWillTerminate(); });
    // From here a signal quits in order, on the event loop, where everything that would need
    // undoing is done; one that comes before the loop runs waits for it. Until here nothing
    // needed undoing, and after the loop the quit sequence has run.
    TermSignal term([](int signal) {
        log(std::string(TermSignal::name(signal)) + ": quitting");
        QCoreApplication::quit();
    });

    QTimer::singleShot(0, [&app, &copy] {
        app.applicationDidFinishLaunching();
        if (copy) {
            copy->setOnShow([&app] { return app.showForAnotherStart(); });
        }
    });
    application.exec();
    return 0;
}
