#include "AppFixture.h"
#include "link/Hub.h"
#include "platform/sim/SimInput.h"
#include "support/FakeAgent.h"

#include <gtest/gtest.h>

using namespace helm;
using Type = InputEvent::Type;

namespace {

// The application's own hub and a PC agent paired with it and logged in over loopback.
struct AppInputHubTest : ::testing::Test, test::AppFixture {
    SimInput* input = nullptr;
    std::unique_ptr<App> app;
    std::unique_ptr<fake::FakeAgent> agent;

    void SetUp() override {
        Platform p = simPlatform();
        auto sim = std::make_unique<SimInput>();
        input = sim.get();
        p.input = std::move(sim);
        app = std::make_unique<App>(CommandLine({"helmvantor", "--no-camera", "--test-port", "0"}),
                                    defaults, std::move(p));
        Layout l;
        Screen mac, pc;
        mac.id = "mac/1-1-1";
        mac.number = 1;
        pc.id = "pc1/2-2-2";
        pc.number = 2;
        pc.computer = "pc1";
        pc.yaw = 40;
        l.screens = {mac, pc};
        app->setLayout(l);
        // Paired as a user would, the check code confirmed as soon as it is shown.
        Hub& hub = app->hub();
        hub.onConfirm = [&hub](const std::string&, const std::optional<std::string>& code) {
            if (code) {
                hub.confirmPairing(true);
            }
        };
        hub.start();
        hub.setPairCode("123456");
        hub.names();
        fake::FakeAgent pairing("pc1");
        ASSERT_TRUE(pairing.connect(hub.listeningPort()));
        ASSERT_TRUE(pairing.pairStart("123456"));
        for (int i = 0; i < 50; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        std::optional<fake::FakeAgent::Paired> paired = pairing.pairFinish("123456");
        ASSERT_TRUE(paired);
        agent = std::make_unique<fake::FakeAgent>("pc1");
        ASSERT_TRUE(agent->connect(hub.listeningPort()));
        ASSERT_TRUE(agent->login(paired->secret));
        ASSERT_EQ("D", agent->readSealed());
        app->installTap(false);
        app->connected = {"pc1"};
        app->lookAt("pc1/2-2-2", 0, true);
    }
    void TearDown() override {
        agent.reset();
        app.reset();
    }
    std::vector<std::string> lines(std::size_t n) {
        std::vector<std::string> out;
        while (out.size() < n) {
            std::optional<std::string> l = agent->readSealedPastPings();
            if (!l) {
                break;
            }
            if (l->rfind("j ", 0) != 0 && l->rfind("W ", 0) != 0) { // focus lines aside
                out.push_back(*l);
            }
        }
        return out;
    }
};

TEST_F(AppInputHubTest, InputReachesThePCAsLines) {
    ASSERT_TRUE(input->keyboardGrabbed());
    ASSERT_TRUE(input->pointerGrabbed());
    InputEvent e;
    for (auto [type, code, flags] :
         {std::tuple{Type::keyDown, 0, 0ull}, std::tuple{Type::keyUp, 0, 0ull},
          std::tuple{Type::otherDown, 0, 0ull}}) {
        e.type = type;
        e.code = code;
        e.flags = flags;
        EXPECT_FALSE(app->tapped(e));
    }
    e = InputEvent();
    e.dx = 3;
    e.dy = -2;
    EXPECT_FALSE(app->tapped(e));
    e = InputEvent();
    e.type = Type::scrollWheel;
    e.scrollY = 48;
    EXPECT_FALSE(app->tapped(e));
    EXPECT_EQ((std::vector<std::string>{"k 30 1", "k 30 0", "b 2 1", "m 3 -2", "w 120 0"}),
              lines(5));
}

TEST_F(AppInputHubTest, UnstickWhileShiftIsHeldSendsTheReleaseAndDropsTheGrab) {
    InputEvent shift;
    shift.type = Type::flagsChanged;
    shift.code = 56;
    shift.flags = InputEvent::shift | 0x02;
    EXPECT_FALSE(app->tapped(shift));
    app->unstick();
    EXPECT_EQ((std::vector<std::string>{"k 42 1", "r"}), lines(2));
    EXPECT_FALSE(input->keyboardGrabbed());
    EXPECT_FALSE(input->pointerGrabbed());
    // Shift's release now belongs to this computer.
    shift.flags = 0;
    EXPECT_TRUE(app->tapped(shift));
}

} // namespace
