// Calibration targets reach a logged-in PC through the application's own hub.
#include "CalFixture.h"
#include "PairedAgent.h"
#include "link/Hub.h"
#include "support/FakeAgent.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace helm;

namespace {

using CalLinkTest = test::CalFixture;

TEST_F(CalLinkTest, APCReadsItsTargetsHoldAndTheEnd) {
    auto app = makeCal({"--test-port", "0", "--no-camera"});
    app->postLine = nullptr; // the real road: Hub.post
    app->applicationDidFinishLaunching();
    auto agent = test::pairedAgent(*app, "pc-cal");
    ASSERT_TRUE(agent);
    fake::FakeAgent& pc = *agent;
    EXPECT_EQ(app->desk().agents, std::vector<std::string>{"pc-cal"}); // the desk shows it online

    Layout desk;
    desk.screens = {test::deskScreen("mac/1-1-1", 1, 0, 0),
                    test::deskScreen("pc-cal/2-2-2", 2, 0, 40, "pc-cal"),
                    test::deskScreen("pc-cal/3-3-3", 3, 1, 80, "pc-cal")};
    app->setLayout(desk);
    app->startCalibration(std::vector<std::string>{"pc-cal/2-2-2"}, false, false);
    ASSERT_TRUE(app->calibrator);
    app->sendHold(0.5);
    app->sendHold(0);
    app->stopCalibration();

    std::vector<std::string> lines;
    while (lines.size() < 6) {
        std::optional<std::string> line = pc.readSealedPastPings(3000);
        if (!line)
            break;
        if (line->rfind("o ", 0) == 0)
            lines.push_back(*line);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"o 0 tl 2", "o 1 dark 3", "o 0 p 50", "o 0 p 0",
                                               "o 0 off 2", "o 1 off 3"}));
    EXPECT_TRUE(wasLogged("target (test mode, not shown): screen 1 dark"));
    app->applicationWillTerminate();
}

} // namespace
