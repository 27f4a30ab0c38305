// Calibration targets reach a logged-in PC through the application's own hub.
#include "CalFixture.h"
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
    const std::uint16_t port = app->hub().listeningPort();
    ASSERT_NE(port, 0);

    // Pairing, then a control link with the paired secret.
    app->hub().setPairCode("123456");
    app->hub().names();
    fake::FakeAgent pairer("pc-cal");
    ASSERT_TRUE(pairer.connect(port));
    ASSERT_EQ(pairer.pairStart("123456"), "confirm");
    app->hub().confirmPairing(true);
    auto paired = pairer.pairFinish("123456");
    ASSERT_TRUE(paired);
    fake::FakeAgent pc("pc-cal");
    ASSERT_TRUE(pc.connect(port));
    ASSERT_TRUE(pc.login(paired->secret));
    QElapsedTimer clock;
    clock.start();
    while (app->connected.count("pc-cal") == 0 && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_EQ(app->connected.count("pc-cal"), 1u);
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
