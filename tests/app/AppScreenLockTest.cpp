#include "AppFixture.h"
#include "platform/sim/FakeScreenLock.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace helm;

namespace {

struct AppScreenLockTest : ::testing::Test, test::AppFixture {};

Screen screen(const std::string& id, int number, std::optional<std::string> computer = {}) {
    Screen s;
    s.id = id;
    s.number = number;
    s.computer = std::move(computer);
    s.display = number - 1;
    s.yaw = number * 30.0;
    return s;
}

TEST_F(AppScreenLockTest, ALockedSessionSendsFocusHomeOnce) {
    Layout two;
    two.screens = {screen("mac/1-1-1", 1), screen("mac/2-2-2", 2)};
    Layout pcOnly;
    pcOnly.screens = {screen("pc1/3-3-3", 1, "pc1")};
    struct Case {
        const char* what;
        Layout layout;
        std::optional<std::string> look; // focus moved there before the lock
        bool lockFocus;
        bool goesHome;
    };
    const Case cases[] = {
        {"focus on another screen", two, "mac/2-2-2", false, true},
        {"focus locked on another screen", two, "mac/2-2-2", true, true},
        {"focus already home", two, std::nullopt, false, false},
        {"no screen of this computer", pcOnly, std::nullopt, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Platform platform = simPlatform();
        auto* lock = static_cast<FakeScreenLock*>(platform.screenLock.get());
        auto app = make({"--test-port", "0", "--no-camera"}, std::move(platform));
        app->setLayout(c.layout);
        app->applicationDidFinishLaunching();
        if (c.look)
            app->pretend(*c.look);
        if (c.lockFocus)
            app->router().toggleLock(0);
        const auto before = logged().size();

        lock->lock();
        auto lines = logged();
        lines.erase(lines.begin(), lines.begin() + static_cast<long>(before));
        const bool told = std::count(lines.begin(), lines.end(), "screen locked: input home") == 1;
        EXPECT_EQ(told, c.goesHome);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "unstick"), c.goesHome ? 1 : 0);
        if (c.goesHome) {
            EXPECT_EQ(app->router().keys, "mac/1-1-1");
            EXPECT_EQ(app->router().mouse, "mac/1-1-1");
            EXPECT_FALSE(app->router().locked);
        }
        app->applicationWillTerminate();
    }
}

} // namespace
