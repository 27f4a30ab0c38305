#include "AppFixture.h"
#include "PairedAgent.h"
#include "link/Base64.h"
#include "link/Wire.h"
#include "platform/sim/FakeDisplaySource.h"
#include "platform/sim/MemorySecretStore.h"
#include "platform/sim/RecordingStatusItem.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <stop_token>
#include <thread>

using namespace helm;

namespace {

DisplayInfo fullHd(const std::string& key) {
    DisplayInfo d;
    d.key = key;
    d.w = 1920;
    d.h = 1080;
    return d;
}

std::string displayLine(const std::vector<DisplayInfo>& list) {
    const std::string j = DisplayInfo::listToJson(list).dump();
    return "d " + base64Encode(std::string_view(j));
}

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
    const DisplayInfo d = fullHd("1-2-3");
    for (int i = 0; i < 400; ++i) {
        pc->sendSealed(displayLine({d}));
        pc->sendSealed("cap off");
    }
    DisplayInfo e = d;
    e.key = "4-5-6";
    e.x = 1920;
    pc->sendSealed(displayLine({d, e})); // the last line: once it is in, every line was handled
    QElapsedTimer clock;
    clock.start();
    while (!app->screen("pc-1/4-5-6") && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(app->screen("pc-1/4-5-6"));
    EXPECT_LE(countLogged("pc-1 has 1 monitor(s)"), 3);
    EXPECT_LE(countLogged("pc-1 took its input back"), 3);
}

TEST_F(AppLinkTest, AFloodBesideARealPCLeavesEveryLineOfItsOwnInTheLog) {
    // The flood comes from a thread of its own, as from another host: logins of 256 names that
    // are not paired, or a paired PC's display lists that each make a line of their own.
    enum class Flood { unpairedLogins, pairedDisplayLists };
    const struct {
        Flood flood;
        std::vector<std::string> alsoLogged;
    } cases[] = {
        {Flood::unpairedLogins, {}},
        {Flood::pairedDisplayLists, {"agent flood lost: closed"}}, // its own end, mid-flood
    };
    for (const auto& c : cases) {
        std::ofstream(dir.path().toStdString() + "/pivmor.log", std::ios::trunc);
        auto app = make({"--test-port", "0", "--no-camera"});
        app->applicationDidFinishLaunching();
        const std::uint16_t port = app->hub().listeningPort();
        std::optional<std::string> floodSecret;
        if (c.flood == Flood::pairedDisplayLists) {
            floodSecret = test::pairedSecret(*app, "flood");
            ASSERT_TRUE(floodSecret);
        }
        std::atomic<int> sent{0};
        // Stopped and joined however the case ends.
        std::jthread flood([&](std::stop_token stop) {
            if (floodSecret) {
                fake::FakeAgent pc("flood");
                if (!pc.connect(port) || !pc.login(*floodSecret))
                    return;
                for (int i = 0; !stop.stop_requested(); ++i, ++sent) {
                    // A list that does not parse, the fault in another column each time: a
                    // line of a new kind each time.
                    const std::string broken = "[" + std::string(i % 500, ' ') + "x]";
                    pc.sendSealed("d " + base64Encode(std::string_view(broken)));
                    if (i % 32 == 31)
                        std::this_thread::sleep_for(std::chrono::milliseconds(5));
                }
                return; // closed mid-flood
            }
            for (int i = 0; !stop.stop_requested(); ++i) {
                fake::FakeAgent pc("flood-" + std::to_string(i % 256));
                if (pc.connectOnly(port)) {
                    pc.sendLine(pc.helloLine(std::string(48, '0'), "ctl"));
                    pc.waitClosed(1000);
                    ++sent;
                }
            }
        });
        auto pump = [&](auto done) {
            QElapsedTimer clock;
            clock.start();
            while (!done() && clock.elapsed() < 10000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            return done();
        };
        EXPECT_TRUE(pump([&] { return sent > 300; }));

        auto pc1 = test::pairedAgent(*app, "PC1");
        ASSERT_TRUE(pc1);
        pc1->sendSealed(displayLine({fullHd("1-2-3")}));
        EXPECT_TRUE(pump([&] { return app->screen("PC1/1-2-3").has_value(); }));
        app->hub().setPairCode("123456");
        fake::FakeAgent wrong("PC2");
        ASSERT_TRUE(wrong.connect(port));
        EXPECT_EQ(wrong.pairStart("654321"), "no wrong");
        EXPECT_TRUE(test::pairedAgent(*app, "PC2"));
        pc1->close();
        EXPECT_TRUE(pump([&] { return !app->connected.contains("PC1"); }));

        flood.request_stop();
        flood.join();
        app->applicationWillTerminate();
        std::vector<std::string> expected = {"paired PC1",
                                             "agent PC1 connected",
                                             "PC1 has 1 monitor(s)",
                                             "pair from PC2: wrong code (1)",
                                             "paired PC2",
                                             "agent PC2 connected",
                                             "agent PC1 lost: closed"};
        expected.insert(expected.end(), c.alsoLogged.begin(), c.alsoLogged.end());
        for (const std::string& line : expected)
            EXPECT_TRUE(wasLogged(line)) << line << " after " << sent << " flood lines";
    }
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
