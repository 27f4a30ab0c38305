#include "AppFixture.h"
#include "overlays/draw/JumpView.h"
#include "platform/sim/FakeDisplaySource.h"
#include "platform/sim/RecordingPointer.h"
#include "platform/sim/SimReduceMotion.h"

#include <gtest/gtest.h>

using namespace helm;

namespace {

using test::display;

JumpRecipe::Motion path() {
    return JumpRecipe::Motion{"glide", 220.0, 40.0};
}

// One display of this computer; the pointer is the in-memory one and the glide's clock is
// `now`.
struct AppGlideTest : ::testing::Test, test::AppFixture {
    RecordingPointer* pointer = nullptr;
    SimReduceMotion* motion = nullptr;
    double now = 10;

    std::unique_ptr<App> make(std::vector<std::string> args = {"--no-camera"}) {
        Platform p = simPlatform();
        pointer = new RecordingPointer;
        p.pointer.reset(pointer);
        motion = new SimReduceMotion;
        p.reduceMotion.reset(motion);
        p.displays = std::make_unique<FakeDisplaySource>(
            std::vector<DisplayInfo>{display(0, 0, 1920, 1080), display(1, 1920, 1280, 1024)});
        auto app = AppFixture::make(std::move(args), std::move(p));
        app->glideClock = [this] { return now; };
        return app;
    }

    std::vector<std::string> moves() const {
        std::vector<std::string> out;
        for (const std::string& c : pointer->calls) {
            if (c.rfind("move ", 0) == 0) {
                out.push_back(c);
            }
        }
        return out;
    }
};

} // namespace

TEST_F(AppGlideTest, PostsAtOnceThenEachTickUntilTheEndPoint) {
    auto app = make();
    app->glide(path(), 0.5, {960, 540}, "L", {0, 0, 1920, 1080});
    ASSERT_EQ(1u, moves().size());
    EXPECT_NE("move 960 540", moves()[0]) << "the start lies beside the target";
    EXPECT_TRUE(app->glideTimer.running());
    for (double t : {0.1, 0.3, 0.49}) {
        now = 10 + t;
        app->glideTimer.tick();
        EXPECT_TRUE(app->glideTimer.running()) << t;
    }
    now = 10.52;
    app->glideTimer.tick();
    EXPECT_EQ(5u, moves().size());
    EXPECT_EQ("move 960 540", moves().back());
    EXPECT_FALSE(app->glideTimer.running());
    app->glideTimer.tick();
    EXPECT_EQ(5u, moves().size()) << "no step once ended";
}

TEST_F(AppGlideTest, ASecondGlideReplacesTheFirst) {
    auto app = make();
    app->glide(path(), 0.5, {960, 540}, "L", {0, 0, 1920, 1080});
    app->glide(path(), 1.0, {2500, 500}, "R", {1920, 0, 1280, 1024});
    now = 10.6; // past the first glide's end, not the second's
    app->glideTimer.tick();
    EXPECT_TRUE(app->glideTimer.running());
    now = 11;
    app->glideTimer.tick();
    EXPECT_EQ("move 2500 500", moves().back());
    EXPECT_FALSE(app->glideTimer.running());
}

TEST_F(AppGlideTest, TheUsersHandStopsItAndOwnMovesDoNot) {
    auto app = make();
    struct Case {
        InputEvent::Type type;
        bool marked;
        bool stops;
    } cases[] = {
        {InputEvent::Type::moved, true, false},
        {InputEvent::Type::rightDragged, false, false},
        {InputEvent::Type::moved, false, true},
        {InputEvent::Type::leftDragged, false, true},
    };
    for (const Case& c : cases) {
        now = 10;
        app->glide(path(), 0.5, {960, 540}, "L", {0, 0, 1920, 1080});
        InputEvent e;
        e.type = c.type;
        e.marked = c.marked;
        app->tapped(e);
        EXPECT_EQ(!c.stops, app->glideTimer.running()) << int(c.type) << c.marked;
        const std::size_t before = moves().size();
        now = 10.2;
        app->glideTimer.tick();
        EXPECT_EQ(before + (c.stops ? 0 : 1), moves().size()) << "halted where it was";
        app->stopGlide();
    }
}

TEST_F(AppGlideTest, NoTimeGoesStraightToTheEnd) {
    for (double dur : {0.0, -1.0, std::nan("")}) {
        auto app = make();
        app->glide(path(), dur, {960, 540}, "L", {0, 0, 1920, 1080});
        EXPECT_EQ(std::vector<std::string>{"move 960 540"}, moves()) << dur;
        EXPECT_FALSE(app->glideTimer.running()) << dur;
    }
}

TEST_F(AppGlideTest, TryJumpGlidesBackToThePointerAndPlaysTheEffect) {
    struct Case {
        const char* what;
        bool motion;
        bool reduced;
        bool mouseScreen;
        bool glides;
    } cases[] = {
        {"with motion", true, false, true, true},
        {"reduced motion still glides", true, true, true, true},
        {"without motion", false, false, true, false},
        {"no mouse screen", true, false, false, true},
    };
    for (const Case& c : cases) {
        auto app = make();
        motion->on = c.reduced;
        if (c.mouseScreen) {
            Screen s;
            s.id = app->router().mouse;
            s.number = 2;
            s.computerName = "Office";
            Layout l;
            l.screens = {s};
            app->setLayout(l);
        } else {
            app->setLayout(Layout{}); // not the desk an earlier case stored
        }
        JumpRecipe r = *app->jump();
        if (!c.motion) {
            r.motion.reset();
        }
        pointer->at = Pointer::Point{500, 300};
        app->tryJump(r);
        EXPECT_EQ(c.glides, app->glideTimer.running()) << c.what;
        EXPECT_EQ(c.glides ? 1u : 0u, moves().size()) << c.what;
        ASSERT_NE(nullptr, app->overlays.landing()) << c.what;
        auto* view = dynamic_cast<JumpView*>(app->overlays.landing()->content());
        ASSERT_NE(nullptr, view);
        EXPECT_EQ(QPointF(500, 300), view->drawer().to) << c.what;
        EXPECT_EQ(c.mouseScreen ? 2 : 1, view->drawer().number) << c.what;
        EXPECT_EQ(c.mouseScreen ? "Office" : "", view->drawer().name) << c.what;
        EXPECT_EQ(c.reduced, view->drawer().still) << c.what;
        app->stopGlide();
    }
}

TEST_F(AppGlideTest, AJumpBetweenDisplaysGlidesUnlessMotionIsReduced) {
    for (bool reduced : {false, true}) {
        auto app = make();
        motion->on = reduced;
        Screen a;
        a.id = "mac/a";
        a.number = 1;
        Screen b = a;
        b.id = "mac/b";
        b.number = 2;
        b.display = 1;
        b.yaw = -30;
        Layout l;
        l.screens = {a, b};
        app->setLayout(l);
        pointer->at = Pointer::Point{5, 5};
        app->warpLocal(a, b);
        EXPECT_EQ(!reduced, app->glideTimer.running()) << reduced;
        EXPECT_EQ(reduced, pointer->calls.back() == "warp 2560 512") << reduced;
        ASSERT_NE(nullptr, app->overlays.landing()) << "the effect plays either way";
        EXPECT_EQ(QRect(1920, 0, 1280, 1024), app->overlays.landing()->geometry());
    }
}

TEST_F(AppGlideTest, TheStatusPanelFollowsThePreferenceOutsideSimulation) {
    auto sim = make({"--no-camera", "--test-port"});
    sim->prefs.setPanel(true);
    sim->applyPrefs();
    EXPECT_EQ(nullptr, sim->panel_) << "never shown in simulation mode";

    auto app = make();
    app->prefs.setPanel(true);
    app->applyPrefs();
    ASSERT_NE(nullptr, app->panel_);
    const QRect at = app->panel_->geometry();
    EXPECT_TRUE(app->panel_->isVisible());
    EXPECT_EQ(QSize(280, 74), at.size());
    app->prefs.setPanel(false);
    app->applyPrefs();
    EXPECT_FALSE(app->panel_->isVisible());
    app->prefs.setPanel(true);
    app->applyPrefs();
    EXPECT_TRUE(app->panel_->isVisible());
    EXPECT_EQ(at, app->panel_->geometry());
}
