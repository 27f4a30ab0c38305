// The set-up guide wired to the application: pairing offered only on the connect page, the
// calibration stopped when the guide leaves it, the refresh and finishing the guide.
#include "CalFixture.h"
#include "guide/OnboardingView.h"
#include "link/Hub.h"
#include "link/Wire.h"
#include "support/FakeAgent.h"
#include "windows/SettingsModel.h"

#include "app/GuideWindow.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

using namespace helm;

namespace {

using AppGuideTest = test::CalFixture;

// Runs the main thread's events until cond holds, for at most 3 s.
template <class F> bool settle(F cond) {
    QElapsedTimer clock;
    clock.start();
    while (!cond() && clock.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return cond();
}

TEST_F(AppGuideTest, ThePairingCodeIsOfferedOnlyWhileTheConnectPageShows) {
    auto app = makeCal({"--test-port", "0", "--no-camera"});
    app->applicationDidFinishLaunching();
    const std::uint16_t port = app->hub().listeningPort();
    ASSERT_NE(port, 0);
    struct Step {
        const char* name;
        std::function<void()> act;
        bool offered;
    };
    const Step steps[] = {
        {"before the guide", [] {}, false},
        {"connect page", [&] { app->guide.setStep(3); }, true},
        {"keyboard page", [&] { app->guide.setStep(2); }, false},
        {"connect page again",
         [&] {
             app->openGuide();
             app->guide.setStep(3);
         },
         true},
        {"calibration page", [&] { app->guide.setStep(4); }, false},
        {"back on connect", [&] { app->guide.setStep(3); }, true},
        {"window closed", [&] { app->guideWindow()->close(); }, false},
        {"reopened on connect", [&] { app->openGuide(); }, true},
    };
    int n = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.act();
        app->hub().names(); // the hub's queue has taken the code
        fake::FakeAgent agent("pc-guide" + std::to_string(++n));
        ASSERT_TRUE(agent.connect(port));
        const std::string code = app->guide.code();
        const std::optional<std::string> reply = agent.pairStart(code);
        ASSERT_TRUE(reply);
        EXPECT_EQ(*reply == "confirm", s.offered) << *reply;
        // The pairing, answered at once in simulation, is over before the next step.
        if (s.offered) {
            EXPECT_TRUE(
                settle([&] { return app->guide.code() != code && !app->guide.pairCheck(); }));
        }
    }
    app->applicationWillTerminate();
}

TEST_F(AppGuideTest, ACodePairsOnePCWhateverRoadOffersItAgain) {
    struct Road {
        const char* name;
        std::function<void(App&)> after;
    };
    const Road roads[] = {
        {"the connect page stays", [](App&) {}},
        {"the settings' Add a PC…",
         [](App& app) {
             app.guideWindow()->close();
             app.settings().onAddPC();
         }},
        {"the guide left and entered again",
         [](App& app) {
             app.guide.setStep(2);
             app.guide.setStep(3);
         }},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        auto app = makeCal({"--test-port", "0", "--no-camera"}); // pairings confirmed at once
        app->applicationDidFinishLaunching();
        const std::uint16_t port = app->hub().listeningPort();
        app->addPCInGuide();
        app->hub().names(); // the hub's queue has taken the code
        const std::string used = app->guide.code();
        fake::FakeAgent first("pc-one");
        ASSERT_TRUE(first.connect(port));
        ASSERT_EQ(first.pairStart(used), "confirm");
        ASSERT_TRUE(first.pairFinish(used));
        ASSERT_TRUE(settle([&] { return app->guide.code() != used && !app->guide.pairCheck(); }));
        road.after(*app);
        app->hub().names();
        // The page offers its fresh code; the used one is a wrong code now.
        for (const std::string& code : {used, app->guide.code()}) {
            fake::FakeAgent next("pc-two");
            ASSERT_TRUE(next.connect(port));
            EXPECT_EQ(next.pairStart(code), code == used ? "no wrong" : "confirm") << code;
        }
        app->applicationWillTerminate();
    }
}

TEST_F(AppGuideTest, LeavingTheCalibrationPageStopsARun) {
    for (int step : {4, 5, 3}) {
        SCOPED_TRACE(step);
        auto app = makeCal();
        app->setLayout(test::calDesk());
        app->setUpGuide();
        app->startCalibration(std::nullopt, true, false);
        ASSERT_TRUE(app->calibrator);
        app->guide.setStep(step);
        EXPECT_EQ(app->calibrator.has_value(), step == 4);
        EXPECT_EQ(app->guide.calibrating(), step == 4);
    }
}

TEST_F(AppGuideTest, TheGuidesStopHidesEveryScreenOfConnectedPCs) {
    auto app = makeCal();
    Layout desk;
    desk.screens = {
        test::deskScreen("mac/1-1-1", 1, 0, 0),    test::deskScreen("a/1", 2, 0, 30, "pcA"),
        test::deskScreen("b/1", 3, 0, 60, "pcB"),  test::deskScreen("a/2", 4, 1, 90, "pcA"),
        test::deskScreen("b/2", 5, 1, 120, "pcB"), test::deskScreen("c/1", 6, 0, 150, "pcC")};
    app->setLayout(desk);
    app->connected = {"pcA", "pcB"};
    app->setUpGuide();
    app->guide.onStopLook();
    const std::vector<std::string> hidden = {"pcA o 0 off 2", "pcB o 0 off 3", "pcA o 1 off 4",
                                             "pcB o 1 off 5"};
    std::vector<std::string> twice = hidden; // the run's own stop, then the guide's
    twice.insert(twice.end(), hidden.begin(), hidden.end());
    EXPECT_EQ(pcLines, twice);
}

TEST_F(AppGuideTest, ShowNumbersOnScreensInTheGuideAndTheSettingsShowsThem) {
    for (bool inSettings : {false, true}) {
        auto app = makeCal({"--test-port", "0", "--no-camera"});
        app->makeGuideView = [this](OnboardingModel& m, DeskModel& d) {
            return std::unique_ptr<QWidget>(std::make_unique<OnboardingView>(m, d, defaults));
        };
        app->applicationDidFinishLaunching();
        app->setLayout(test::calDesk());
        app->connected = {"pc1"};
        app->settings().setTab("computers");
        app->guide.setStep(4); // the calibration page
        inSettings ? app->openSettings() : app->openGuide();
        QWidget* window = inSettings ? app->settingsWindow() : app->guideWindow();
        const QString button =
            inSettings ? "Show numbers on screens" : "Show the numbers on my screens";
        QCoreApplication::processEvents();
        const std::size_t before = logged().size();
        pcLines.clear();
        for (QPushButton* b : window->findChildren<QPushButton*>())
            if (b->text() == button && b->isVisible())
                b->click();
        const std::vector<std::string> lines = logged();
        EXPECT_EQ(std::vector<std::string>(lines.begin() + before, lines.end()),
                  (std::vector<std::string>{"target (test mode, not shown): screen 1 number",
                                            "target (test mode, not shown): screen 2 number"}))
            << button.toStdString();
        EXPECT_EQ(pcLines, std::vector<std::string>{"pc1 " + Wire::overlay(0, "id", 3)});
        app->applicationWillTerminate();
    }
}

TEST_F(AppGuideTest, FinishingIsRememberedAndTheNextLaunchLeavesTheGuideClosed) {
    auto first = makeCal();
    first->applicationDidFinishLaunching();
    ASSERT_TRUE(first->guideWindow());
    EXPECT_TRUE(first->guideWindow()->isVisible());
    first->guide.onFinish();
    EXPECT_FALSE(first->guideWindow()->isVisible());
    EXPECT_EQ(defaults.boolean("onboarded"), true);
    first->applicationWillTerminate();
    first.reset();

    auto second = makeCal();
    second->applicationDidFinishLaunching();
    EXPECT_FALSE(second->guideWindow());
    second->applicationWillTerminate();
}

TEST_F(AppGuideTest, TheTimerRefreshesOnlyAShownGuide) {
    auto app = makeCal();
    app->setUpGuide();
    app->openGuide();
    int changes = 0;
    QObject::connect(&app->guide, &OnboardingModel::changed, [&] { ++changes; });
    app->angle = Angle{-12.4, 3.6};
    app->guideWindow()->hide();
    app->guideTick();
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(app->guide.face());
    app->guideWindow()->show();
    app->guideTick();
    EXPECT_GT(changes, 0);
    EXPECT_EQ(app->guide.face(), "We see you \u00b7 head 12\u00b0 left, 4\u00b0 up");
}

TEST_F(AppGuideTest, APairingToConfirmOpensTheConnectPageOutsideSimulation) {
    struct Case {
        const char* name;
        bool sim;
        std::optional<std::string> code;
        bool opened;
    };
    const Case cases[] = {
        {"asks the user", false, "123 456", true},
        {"simulation answers itself", true, "123 456", false},
        {"the wait is over", false, std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto app = c.sim ? makeCal({"--test-port", "0", "--no-camera"}) : makeCal();
        app->setUpGuide();
        app->guide.setPairCheck(OnboardingModel::PairCheck{"OLD", "000 000"});
        app->pairLeft("büro-pc"); // an earlier pairing the PC left: told until the next one
        EXPECT_EQ(app->guide.pairNote(),
                  "BÜRO PC left before pairing finished. Press New code and pair it again.");
        EXPECT_EQ(app->settings().pairNote(),
                  "BÜRO PC left before pairing finished. Press Add a PC… to pair it again.");
        const std::string offered = app->guide.code();
        app->confirmInGuide("büro-straße-pc", c.code);
        // The hub spends the code a PC pairs with: the page shows a fresh one.
        EXPECT_EQ(app->guide.code() != offered, c.code.has_value());
        EXPECT_EQ(app->guide.pairNote().has_value(), !c.code);
        EXPECT_EQ(app->settings().pairNote().has_value(), !c.code);
        if (c.code) {
            ASSERT_TRUE(app->guide.pairCheck());
            EXPECT_EQ(app->guide.pairCheck()->pc, "BÜRO STRASSE PC");
            EXPECT_EQ(app->guide.pairCheck()->code, *c.code);
        } else {
            EXPECT_FALSE(app->guide.pairCheck());
        }
        EXPECT_EQ(app->guideWindow() != nullptr, c.opened);
        EXPECT_EQ(app->guide.step(), c.opened ? 3 : 0);
    }
}

} // namespace

TEST_F(AppGuideTest, TheGuideWindowsFieldsAreDarkWithLightText) {
    auto content = std::make_unique<QWidget>();
    auto* field = new QLineEdit(content.get());
    GuideWindow window(std::move(content));
    const QPalette p = field->palette();
    EXPECT_LT(p.color(QPalette::Base).lightness(), 60);
    EXPECT_GT(p.color(QPalette::Text).lightness(), 180);
    EXPECT_LT(window.palette().color(QPalette::Window).lightness(), 60);
}
