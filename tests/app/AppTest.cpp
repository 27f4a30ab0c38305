#include "AppFixture.h"
#include "app/TestPort.h"
#include "gaze/camera/GazeEngine.h"
#include "link/Hub.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QTcpServer>

#include <algorithm>

using namespace helm;

namespace {

struct AppTest : ::testing::Test, test::AppFixture {};

} // namespace

TEST_F(AppTest, LaunchInSimulationModeWithoutAPortValue) {
    auto app = make({"--no-camera", "--token=abc", "--test-port"});
    app->applicationDidFinishLaunching();
    app->applicationWillTerminate();
    EXPECT_TRUE(app->simOnly());
    EXPECT_EQ(nullptr, app->testPort());
    std::vector<std::string> lines = logged();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(0u, lines[1].rfind("listener ready on port ", 0));
    lines.erase(lines.begin() + 1);
    EXPECT_EQ((std::vector<std::string>{
                  R"(start iso=false args=["--no-camera", "--test-port"])",
                  "camera off (simulation)",
                  "test mode: no input capture, private clipboard",
                  "quit",
              }),
              lines);
}

TEST_F(AppTest, PreferencesDriveTheVoiceOutsideSimulationOnly) {
    defaults.set("p.voice", false);
    auto app = make({});
    app->applyPrefs();
    EXPECT_TRUE(app->voice.muted);
    EXPECT_FALSE(app->voice.chimesOff);
    app->prefs.onChange = [&] { app->applyPrefs(); };
    app->prefs.setSounds(false);
    EXPECT_TRUE(app->voice.chimesOff);

    auto sim = make({"--test-port", "0"});
    sim->prefs.setVoice(true);
    sim->prefs.setSounds(true);
    sim->applyPrefs();
    EXPECT_TRUE(sim->voice.muted);
    EXPECT_TRUE(sim->voice.chimesOff);
}

TEST_F(AppTest, ResetDefaultsResumesFollowingAndLogs) {
    auto app = make({"--test-port", "0", "--no-camera"});
    int applied = 0;
    app->prefs.onChange = [&] { ++applied; };
    app->prefs.setPanel(true);
    app->followEyes = false;
    app->router().toggleLock(0);
    app->router().keyDown(36, 0);
    app->resetDefaults();
    EXPECT_FALSE(app->prefs.panel());
    EXPECT_TRUE(app->followEyes);
    EXPECT_EQ(16, applied);
    // Focus starts afresh: nothing locked or held.
    EXPECT_FALSE(app->router().locked);
    EXPECT_TRUE(app->router().heldKeys.empty());
    auto lines = logged();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ("unstick", lines[lines.size() - 2]);
    EXPECT_EQ("reset to defaults", lines.back());
}

TEST_F(AppTest, ResetDefaultsTurnsAnOffCameraOnUnlessNoCameraWasGiven) {
    auto wasLogged = [this](const std::string& line) {
        auto lines = logged();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    auto quiet = make({"--test-port", "0", "--no-camera"});
    quiet->resetDefaults();
    EXPECT_FALSE(quiet->cameraOn);
    EXPECT_FALSE(wasLogged("camera on (reset)"));

    auto app = make({"--test-port", "0"});
    if (!app->gaze().available()) {
        GTEST_SKIP() << "no camera on this machine to turn on";
    }
    app->resetDefaults();
    EXPECT_TRUE(app->cameraOn);
    EXPECT_TRUE(wasLogged("camera on (reset)"));
    auto lines = logged();
    EXPECT_EQ("reset to defaults", lines.back())
        << "the camera comes on before the reset is logged";
    app->setCamera(false, "test over");
}

TEST_F(AppTest, MenuActionsRunTheirBoxAndToleratePlainItems) {
    auto app = make({});
    int calls = 0;
    QAction item;
    item.setData(QVariant::fromValue(std::make_shared<App::Run>(App::Run{[&] { ++calls; }})));
    app->run(&item);
    EXPECT_EQ(1, calls);
    QAction plain;
    plain.setData(42);
    app->run(&plain);
    app->run(nullptr);
    EXPECT_EQ(1, calls);
}

TEST_F(AppTest, TheTailscaleFlagRestartsTheHubOnlyWhenItChanges) {
    auto app = make({"--test-port", "0"});
    app->applyPrefs(); // no hub yet: nothing to restart
    app->hub();
    app->prefs.onChange = [&] { app->applyPrefs(); };
    app->prefs.setTailscaleOnly(false); // unchanged
    auto count = [&] {
        auto lines = logged();
        return std::count_if(lines.begin(), lines.end(), [](const std::string& l) {
            return l.rfind("tailscale only = ", 0) == 0;
        });
    };
    EXPECT_EQ(0, count());
    app->prefs.setTailscaleOnly(true);
    EXPECT_TRUE(app->hub().tailscaleOnly);
    EXPECT_EQ(1, count());
    auto lines = logged();
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), "tailscale only = true"));
}

TEST_F(AppTest, HealthSentences) {
    auto app = make({});
    EXPECT_FALSE(app->health()); // camera off
    app->cameraOn = true;
    app->lastFaceAt = -1000; // long ago on the media clock
    app->brightness = 0.1;
    EXPECT_EQ("Too dark to see you", app->health());
    app->brightness = 0.5;
    EXPECT_EQ("Can't see you", app->health());
    app->problem = "Helmvantor can't use the network. Quit other copies of Helmvantor.";
    EXPECT_EQ(app->problem, app->health());
}

TEST_F(AppTest, AHubThatCannotListenIsTheProblemUntilItListens) {
    QTcpServer other; // another copy holding the port
    ASSERT_TRUE(other.listen(QHostAddress::Any, 0));
    qputenv("HELMVANTOR_HUB_PORT", QByteArray::number(other.serverPort()));
    auto app = make({"--no-camera", "--test-port"});
    app->applicationDidFinishLaunching();
    EXPECT_EQ("Helmvantor can't use the network. Quit other copies of Helmvantor.", app->health());
    EXPECT_EQ("hub: The bound address is already in use", logged().at(2));
    other.close();
    app->hub().restart();
    QElapsedTimer clock;
    clock.start();
    while (app->health() && clock.elapsed() < 3000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_FALSE(app->health());
}

TEST_F(AppTest, ListeningOnlyOnAMissingTailscaleIsTheProblemUntilTheSettingGoesOff) {
    // Simulation mode's network is loopback alone, whatever this machine has.
    defaults.set("p.tsOnly", true);
    auto app = make({"--no-camera", "--test-port"});
    app->applicationDidFinishLaunching();
    EXPECT_EQ("Tailscale isn't running, so Helmvantor can't listen only on it. Start Tailscale "
              "or turn the setting off.",
              app->health());
    app->prefs.setTailscaleOnly(false);
    QElapsedTimer clock;
    clock.start();
    while (app->health() && clock.elapsed() < 3000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_EQ("health ok", TestPort::run("health", *app));
}
