#include "CalFixture.h"
#include "app/TestPort.h"

#include <gtest/gtest.h>

using namespace helm;
using helm::test::calDesk;

namespace {

using CalRunTest = test::CalFixture;
using Kind = MacOverlays::Mode::Kind;

TEST_F(CalRunTest, WhichScreensAStartTakesAndWhatItLogs) {
    struct Case {
        const char* name;
        std::optional<std::vector<std::string>> only;
        bool warmUp;
        bool pcOnline;
        bool cameraOn;
        std::size_t steps; // 0: nothing starts
    };
    const Case cases[] = {
        {"offline PC screen alone", std::vector<std::string>{"pc1/3-3-3"}, true, false, false, 0},
        {"every screen, PC offline", std::nullopt, true, false, false, 3 + 4 + 4},
        {"every screen, PC online, camera on", std::nullopt, true, true, true, 3 + 4 + 4 + 4},
        {"one screen, no warm-up", std::vector<std::string>{"mac/2-2-2"}, false, false, true, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto app = makeCal();
        app->setLayout(calDesk());
        if (c.pcOnline)
            app->connected.insert("pc1");
        app->cameraOn = c.cameraOn;
        const auto before = logged().size();
        app->startCalibration(c.only, c.warmUp, false);
        const auto lines = logged();
        const std::vector<std::string> fresh(lines.begin() + static_cast<long>(before),
                                             lines.end());
        if (c.steps == 0) {
            EXPECT_FALSE(app->calibrator);
            EXPECT_TRUE(fresh.empty()) << "no log line at all";
            EXPECT_FALSE(app->cameraOn) << "camera untouched";
            EXPECT_FALSE(app->guide.calibrating());
            continue;
        }
        ASSERT_TRUE(app->calibrator);
        EXPECT_EQ(app->calibrator->steps.size(), c.steps);
        const bool cameraLine =
            std::find(fresh.begin(), fresh.end(), "camera on (setup)") != fresh.end();
        EXPECT_EQ(cameraLine, !c.cameraOn);
        EXPECT_TRUE(std::find(fresh.begin(), fresh.end(),
                              "calibration: " + std::to_string(c.steps) + " steps") != fresh.end());
        EXPECT_TRUE(app->guide.calibrating());
        EXPECT_EQ(app->guide.instruction(), app->calibrator->steps[0].prompt);
        EXPECT_TRUE(speech->has("say " + app->calibrator->steps[0].prompt));
    }
}

TEST_F(CalRunTest, HoldReachesThePCRoughlyEveryTenthPercent) {
    auto app = makeCal();
    app->setLayout(calDesk());
    app->connected.insert("pc1");
    app->startCalibration(std::vector<std::string>{"pc1/3-3-3"}, false, false);
    ASSERT_TRUE(app->calibrator);
    EXPECT_EQ(pcLines, (std::vector<std::string>{"pc1 o 0 tl 3"}));
    pcLines.clear();
    for (double hold : {0.0, 0.05, 0.08, 0.12, 0.35, 1.0, 0.0})
        app->sendHold(hold);
    EXPECT_EQ(pcLines, (std::vector<std::string>{"pc1 o 0 p 5", "pc1 o 0 p 35", "pc1 o 0 p 100",
                                                 "pc1 o 0 p 0"}));
}

TEST_F(CalRunTest, CameraStepPromptsOnTheLowestDisplayAndDarkensTheRest) {
    auto app = makeCal();
    app->setLayout(calDesk());
    app->connected.insert("pc1");
    app->startCalibration(std::nullopt, true, false);
    // Screen 2 sits on display 0, though the layout lists screen 1 first.
    const auto& t = app->overlays.targets();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t.at(0).mode.kind, Kind::camera);
    EXPECT_EQ(t.at(0).number, 2);
    EXPECT_EQ(t.at(1).mode.kind, Kind::dark);
    EXPECT_EQ(pcLines, (std::vector<std::string>{"pc1 o 0 dark 3"}));
    EXPECT_FALSE(app->guide.targetID());

    // The first corner: screen 1's dot, every other screen dark.
    pcLines.clear();
    for (int k = 0; k < 3000 && app->calibrator->index < 3; ++k) {
        now += 1 / 15.0;
        app->saw(aim(*app->calibrator->current(), app->layout()), std::nullopt);
    }
    EXPECT_TRUE(wasLogged("calibration step 3/15"));
    EXPECT_EQ(t.at(1).mode, MacOverlays::Mode::at(CalCorner::tl));
    EXPECT_EQ(t.at(0).mode.kind, Kind::dark);
    EXPECT_EQ(pcLines.back(), "pc1 o 0 dark 3");
    EXPECT_EQ(app->guide.targetID(), "mac/1-1-1");
    EXPECT_EQ(app->desk().message, "Screen 1, top left.");
}

TEST_F(CalRunTest, AFinishedRunFitsTheDeskAndSaysSo) {
    auto app = makeCal();
    app->setLayout(calDesk());
    app->picker = GazePicker(std::string("mac/1-1-1"));
    app->startCalibration(std::nullopt, true, false); // the PC is offline: its screen waits
    walk(*app);
    ASSERT_FALSE(app->calibrator);
    EXPECT_FALSE(app->picker.current) << "a fresh picker may choose at once";
    EXPECT_EQ(countLogged("calibration step "), 10);
    EXPECT_EQ(countLogged("calibration done: "), 1);
    std::string done;
    for (const auto& l : logged())
        if (l.rfind("calibration done: ", 0) == 0)
            done = l;
    EXPECT_NE(done.find(", 3 "), std::string::npos) << "the PC's screen too: " << done;
    EXPECT_EQ(std::count(done.begin(), done.end(), ','), 2) << done;
    for (const Screen& s : app->layout().screens)
        EXPECT_EQ(s.learned, s.local()) << s.id;
    EXPECT_TRUE(app->guide.done());
    EXPECT_FALSE(app->guide.calibrating());
    EXPECT_EQ(app->guide.progress(), 1);
    EXPECT_FALSE(app->guide.instruction());
    EXPECT_EQ(app->desk().message, "Every screen is calibrated. In Flat view you can drag or "
                                   "resize a box if one is a little off.");
    EXPECT_TRUE(speech->has("chime message"));
    EXPECT_TRUE(speech->has("chime complete"));
    EXPECT_EQ(speech->events.back(), "say All set. Helmvantor knows where every screen is.");
    for (const auto& [display, target] : app->overlays.targets())
        EXPECT_FALSE(target.visible) << display;
    EXPECT_TRUE(timers.empty()) << "not precise: no check follows";
    EXPECT_TRUE(defaults.value("layout2")) << "stored outside simulation";
}

TEST_F(CalRunTest, RelearningOneScreenKeepsTheWarmUpResults) {
    auto app = makeCal();
    app->setLayout(calDesk());
    app->startCalibration(std::nullopt, true, false);
    walk(*app);
    ASSERT_TRUE(app->layout().cal);
    const Layout first = app->layout();

    app->wireCalibration();
    app->desk().onRelearn("mac/2-2-2");
    ASSERT_TRUE(app->calibrator);
    EXPECT_EQ(app->calibrator->steps.size(), 4u);
    walk(*app);
    ASSERT_FALSE(app->calibrator);
    const CalRecord& cal = *app->layout().cal;
    for (CalTarget::Kind kind :
         {CalTarget::Kind::camera, CalTarget::Kind::turnRight, CalTarget::Kind::keyboard})
        EXPECT_EQ(std::count_if(cal.steps.begin(), cal.steps.end(),
                                [&](const CalStep& s) { return s.target.kind == kind; }),
                  1);
    EXPECT_EQ(app->layout().bias, first.bias);
    EXPECT_EQ(app->layout().seat, first.seat);
}

TEST_F(CalRunTest, AStoppedRunStoresNothingAndStartsNoCheck) {
    auto app = makeCal();
    Layout desk = calDesk();
    for (Screen& s : desk.screens)
        s.learned = true;
    app->setLayout(desk);
    app->connected.insert("pc1");
    app->startCalibration(std::nullopt, true, true);
    walk(*app, 60);
    ASSERT_TRUE(app->calibrator);
    pcLines.clear();
    const int stopsBefore = speech->stops;
    app->stopCalibration();
    EXPECT_FALSE(app->calibrator);
    EXPECT_EQ(app->layout(), desk);
    EXPECT_FALSE(app->guide.calibrating());
    EXPECT_GT(speech->stops, stopsBefore) << "the prompt stops";
    EXPECT_EQ(pcLines, (std::vector<std::string>{"pc1 o 0 off 3"}));
    fireTimers();
    EXPECT_FALSE(app->checking);
    EXPECT_EQ(countLogged("calibration done"), 0);
}

TEST_F(CalRunTest, APreciseRunsCheckGivesWayToALaterRun) {
    Layout desk = calDesk();
    desk.screens.pop_back();
    struct Case {
        const char* name;
        bool laterRun;
        bool checks;
    };
    for (const Case& c : {Case{"alone", false, true}, Case{"a run since", true, false}}) {
        SCOPED_TRACE(c.name);
        timers.clear();
        auto app = makeCal();
        app->setLayout(desk);
        app->startCalibration(std::nullopt, false, true);
        walk(*app);
        ASSERT_FALSE(app->calibrator);
        ASSERT_EQ(timers.size(), 1u);
        EXPECT_EQ(timerSecs.back(), 2.5);
        if (c.laterRun) {
            app->startCalibration(std::vector<std::string>{"mac/1-1-1"}, false, false);
            walk(*app);
            ASSERT_FALSE(app->calibrator);
        }
        fireTimers();
        EXPECT_EQ(app->checking.has_value(), c.checks);
    }
}

TEST_F(CalRunTest, NoFaceHelpComesOncePerAbsenceAndRestartsOnlyItsOwnRun) {
    auto app = makeCal();
    app->setLayout(calDesk());
    app->startCalibration(std::nullopt, true, false);
    const std::string help = "say I can't see your face. Sit in front of this computer, then look "
                             "where the green dot is.";
    auto helps = [&] { return std::count(speech->events.begin(), speech->events.end(), help); };
    app->saw(Angle{0, 0}, std::nullopt);
    now += 3.5;
    for (int k = 0; k < 5; ++k)
        app->saw(std::nullopt, std::nullopt);
    EXPECT_EQ(helps(), 1);
    now += 1;
    speech->finishAll();
    drain();
    EXPECT_EQ(app->calibrator->stepStart, now) << "the step starts over after the help";

    app->saw(Angle{0, 0}, std::nullopt);
    now += 3.5;
    app->saw(std::nullopt, std::nullopt);
    EXPECT_EQ(helps(), 2) << "a new absence";

    // The help ends after its run was replaced: the new run's step goes on.
    app->stopCalibration();
    app->startCalibration(std::nullopt, true, false);
    const double stepStart = app->calibrator->stepStart;
    now += 1;
    speech->finishAll();
    drain();
    EXPECT_EQ(app->calibrator->stepStart, stepStart);
}

TEST_F(CalRunTest, SetupChangeStopsARunAndTheTestPortShowsIt) {
    auto app = makeCal({"--test-port", "0", "--no-camera"});
    app->setLayout(calDesk());
    EXPECT_NE(TestPort::run("calibrate", *app).find(" locked=- cal=0/11 held=[]"),
              std::string::npos);
    ASSERT_TRUE(app->calibrator);
    walk(*app, 12);
    EXPECT_NE(TestPort::run("status", *app).find(" cal=1/11 "), std::string::npos);
    EXPECT_TRUE(wasLogged("target (test mode, not shown): screen 2 camera"));
    EXPECT_TRUE(wasLogged("target (test mode, not shown): screen 1 dark"));

    app->stopCalibrationForSetupChange();
    EXPECT_FALSE(app->calibrator);
    EXPECT_TRUE(wasLogged("calibration stopped: setup changed"));
    EXPECT_EQ(TestPort::run("status", *app).find(" cal="), std::string::npos);
    app->stopCalibrationForSetupChange();
    EXPECT_EQ(countLogged("calibration stopped"), 1) << "no run, no line";
}

} // namespace
