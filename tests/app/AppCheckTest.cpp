#include "CalFixture.h"
#include "windows/SettingsModel.h"

#include <gtest/gtest.h>

using namespace helm;

namespace {

using CheckTest = test::CalFixture;

// Screens 1 and 2 of this computer, learned; the PC's screen learned too.
Layout learnedDesk() {
    Layout l = test::calDesk();
    for (Screen& s : l.screens)
        s.learned = true;
    return l;
}

// Runs a whole check: every look fed for its 2.4 s at 15 frames a second, looking where
// `where` says for the screen shown (nothing: no frames at all).
void runCheck(test::CalFixture& f, App& app,
              const std::function<std::optional<Angle>(const Screen&)>& where) {
    for (int look = 0; look < 20 && app.checking; ++look) {
        const Screen s = app.checking->list[static_cast<std::size_t>(app.checking->i)];
        const std::optional<Angle> a = where(s);
        for (int k = 0; k < 36 && a; ++k) {
            f.now += 1 / 15.0;
            app.saw(*a, std::nullopt);
        }
        f.fireTimers();
    }
}

TEST_F(CheckTest, ScoresLooksAndNamesTheHardestScreen) {
    struct Case {
        const char* name;
        std::function<std::optional<Angle>(const Screen&)> where;
        std::string sentence;
        std::string logLine;
    };
    const Case cases[] = {
        {"every look on target",
         [](const Screen& s) {
             return Angle{s.yaw, s.pitch};
         },
         "Helmvantor picked the right screen 100% of the time.",
         "accuracy check: 100% mac/1-1-1=42/42 mac/2-2-2=42/42"},
        {"always at screen 1",
         [](const Screen&) {
             return Angle{0, 10};
         },
         "Helmvantor picked the right screen 50% of the time. Screen 2 was the hardest: try more "
         "eyes in Settings › Head and eyes, or re-learn it.",
         "accuracy check: 50% mac/1-1-1=42/42 mac/2-2-2=0/42"},
        {"no frames", [](const Screen&) { return std::nullopt; },
         "Helmvantor picked the right screen 0% of the time.", "accuracy check: 0% "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto app = makeCal();
        app->setLayout(learnedDesk()); // the PC is offline: never looked at
        const std::string home = app->router().keys;
        app->startCheck();
        ASSERT_TRUE(app->checking);
        EXPECT_EQ(app->checking->list.size(), 4u);
        EXPECT_EQ(app->guide.instruction(), "Screen 1: look at the dot in the middle.");
        EXPECT_TRUE(speech->has("say Screen 1."));
        runCheck(*this, *app, c.where);
        ASSERT_FALSE(app->checking);
        EXPECT_EQ(app->guide.checkResult(), c.sentence);
        EXPECT_EQ(app->settings().checkResult(), c.sentence);
        EXPECT_FALSE(app->guide.instruction());
        EXPECT_TRUE(wasLogged(c.logLine)) << logged().back();
        EXPECT_EQ(countLogged("look "), 0) << "the check never moves focus";
        EXPECT_EQ(app->router().keys, home);
    }
    EXPECT_EQ(countLogged("accuracy check: 4 looks"), 3);
    EXPECT_EQ(countLogged("camera on (accuracy check)"), 3);
}

TEST_F(CheckTest, NeedsTwoLearnedReachableScreensAndNoRun) {
    struct Case {
        const char* name;
        bool learnFirst;
        bool pcOnline;
        bool calibrating;
        bool starts;
    };
    const Case cases[] = {
        {"one learned, PC offline", false, false, false, false},
        {"one learned, PC online", false, true, false, true},
        {"calibration running", true, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto app = makeCal();
        Layout l = learnedDesk();
        l.screens[0].learned = c.learnFirst;
        app->setLayout(l);
        if (c.pcOnline)
            app->connected.insert("pc1");
        if (c.calibrating)
            app->startCalibration(std::nullopt, false, false);
        app->startCheck();
        EXPECT_EQ(app->checking.has_value(), c.starts);
        EXPECT_EQ(app->calibrator.has_value(), c.calibrating);
    }
}

TEST_F(CheckTest, AnEndedOrReplacedChecksTimerDoesNothing) {
    struct Case {
        const char* name;
        std::function<void(App&)> between;
    };
    const Case cases[] = {
        {"restarted", [](App& app) { app.startCheck(); }},
        {"ended by a run, started again",
         [](App& app) {
             app.startCalibration(std::nullopt, false, false);
             ASSERT_FALSE(app.checking);
             app.stopCalibration();
             app.startCheck();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        timers.clear();
        auto app = makeCal();
        app->setLayout(learnedDesk());
        app->startCheck();
        ASSERT_EQ(timers.size(), 1u);
        EXPECT_EQ(timerSecs.back(), 2.4);
        auto stale = timers.front();
        timers.clear();
        c.between(*app);
        ASSERT_TRUE(app->checking);
        EXPECT_EQ(app->checking->i, 0);
        stale();
        EXPECT_EQ(app->checking->i, 0) << "the old timer moved the new check on";
        fireTimers();
        EXPECT_EQ(app->checking->i, 1);
    }
}

TEST_F(CheckTest, ItsPickerKeepsTheDefaultSettleTime) {
    auto app = makeCal();
    app->prefs.setSpeed(2); // 0.2 s for the real picker
    app->setLayout(learnedDesk());
    app->startCheck();
    app->saw(Angle{0, 10}, std::nullopt);
    ASSERT_TRUE(app->checking);
    EXPECT_EQ(app->checking->picker.settle, 0.1);
}

} // namespace
