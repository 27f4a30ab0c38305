#include "AppFixture.h"
#include "PairedAgent.h"
#include "link/Base64.h"
#include "link/Wire.h"
#include "platform/sim/FakeDisplaySource.h"
#include "platform/sim/MemorySecretStore.h"
#include "platform/sim/RecordingStatusItem.h"

#include <gtest/gtest.h>

using namespace helm;

namespace {

// This computer's screen 1, and screens 3 on "pc1" and 4 on "pc2", only pc1 connected.
struct AppLinkTest : ::testing::Test, test::AppFixture {
    std::vector<std::string> posted;
    std::vector<std::function<void()>> pending;

    std::unique_ptr<App> desk() {
        Platform p = simPlatform();
        p.displays = std::make_unique<FakeDisplaySource>(std::vector<DisplayInfo>{DisplayInfo{}});
        auto app = make({"--no-camera"}, std::move(p));
        Layout l;
        Screen mac, one, two;
        mac.id = "mac/a";
        mac.number = 1;
        one.id = "pc1/x";
        one.number = 3;
        one.computer = "pc1";
        two.id = "pc2/y";
        two.number = 4;
        two.display = 1;
        two.computer = "pc2";
        l.screens = {mac, one, two};
        app->setLayout(l);
        app->connected = {"pc1"};
        app->postLine = [this](const std::string& line, const std::string& pc) {
            posted.push_back(pc + ": " + line);
        };
        app->later = [this](double, std::function<void()> fn) { pending.push_back(fn); };
        return app;
    }
};

TEST_F(AppLinkTest, OnlyConnectedPCsAreReached) {
    auto app = desk();
    const struct {
        const char* id;
        std::optional<std::string> pc;
    } cases[] = {{"mac/a", {}}, {"nowhere/1", {}}, {"pc2/y", {}}, {"pc1/x", "pc1"}};
    for (const auto& c : cases) {
        EXPECT_EQ(app->agentName(c.id), c.pc) << c.id;
    }
}

TEST_F(AppLinkTest, TheJumpEffectGoesOutOncePerChange) {
    auto app = desk();
    app->sendJump();
    app->sendJump();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].rfind("pc1: A ", 0), 0u);
    app->connected.insert("pc2");
    app->sentJump.clear(); // as a PC logging in does
    app->sendJump();
    EXPECT_EQ(posted.size(), 3u);
}

TEST_F(AppLinkTest, IdentifyTakesTheNumbersOffWhereverConnectedThen) {
    auto app = desk();
    app->identify();
    EXPECT_EQ(posted, std::vector<std::string>{"pc1: " + Wire::overlay(0, "id", 3)});
    EXPECT_TRUE(app->overlays.targets().at(0).visible);
    app->identify(); // pressed again: the numbers stay 3 s from now
    ASSERT_EQ(pending.size(), 2u);
    posted.clear();
    pending[0]();
    EXPECT_TRUE(posted.empty());
    EXPECT_TRUE(app->overlays.targets().at(0).visible);
    app->connected = {"pc2"};
    pending[1]();
    EXPECT_EQ(posted, std::vector<std::string>{"pc2: " + Wire::overlay(1, "off", 4)});
    EXPECT_FALSE(app->overlays.targets().at(0).visible);
}

TEST_F(AppLinkTest, APairedPCFloodingValidLinesCannotEmptyTheLog) {
    auto app = make({"--test-port", "0", "--no-camera"});
    app->applicationDidFinishLaunching();
    auto pc = test::pairedAgent(*app, "pc-1");
    ASSERT_TRUE(pc);
    DisplayInfo d;
    d.key = "1-2-3";
    d.w = 1920;
    d.h = 1080;
    auto list = [](std::vector<DisplayInfo> l) {
        const std::string j = DisplayInfo::listToJson(l).dump();
        return "d " + base64Encode(std::string_view(j));
    };
    for (int i = 0; i < 400; ++i) {
        pc->sendSealed(list({d}));
        pc->sendSealed("cap off");
    }
    DisplayInfo e = d;
    e.key = "4-5-6";
    e.x = 1920;
    pc->sendSealed(list({d, e})); // the last line: once it is in, every line was handled
    QElapsedTimer clock;
    clock.start();
    while (!app->screen("pc-1/4-5-6") && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(app->screen("pc-1/4-5-6"));
    EXPECT_LE(countLogged("pc-1 has 1 monitor(s)"), 3);
    EXPECT_LE(countLogged("pc-1 took its input back"), 3);
}

TEST_F(AppLinkTest, AKeyringThatNeverAnswersHoldsUpOnlyThePCs) {
    Platform p = simPlatform();
    auto* keyring = static_cast<MemorySecretStore*>(p.secrets.get());
    keyring->holdCalls = true; // as an unlock prompt nobody answers
    auto* tray = static_cast<RecordingStatusItem*>(p.statusItem.get());
    defaults.set("onboarded", true);
    // The real secret path, launched: the hub cannot take the real port before the keys are in.
    auto app = make({"--no-camera"}, std::move(p));
    app->applicationDidFinishLaunching(); // returns: the keys are read off the main thread
    EXPECT_FALSE(tray->drawn.empty());
    EXPECT_EQ(0, app->hub().listeningPort()) << "no PC is let in before the keys are known";
    EXPECT_FALSE(keyring->stopped());
    app->applicationWillTerminate(); // as SIGTERM's quit does
    EXPECT_TRUE(keyring->stopped());
    app.reset(); // nothing is left waiting for the keyring
}

} // namespace
