#include "overlays/panels/MacOverlays.h"
#include "overlays/draw/JumpView.h"
#include "overlays/panels/StatusPanel.h"
#include "platform/sim/FakeDesktopWindows.h"
#include "platform/sim/FakeDisplaySource.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace helm;

namespace {

DisplayInfo display(int index, double x, double y, double w, double h) {
    DisplayInfo d;
    d.index = index;
    d.x = x;
    d.y = y;
    d.w = w;
    d.h = h;
    return d;
}

JumpRecipe recipe(double dur) {
    JumpRecipe r;
    r.id = "ring";
    r.dur = dur;
    return r;
}

// The primary, one above it and one to its right; the desk's top-left corner sits at
// (100, 2000) in the toolkit's coordinates.
struct MacOverlaysTest : ::testing::Test {
    int argc = 1;
    char name[5] = "test";
    char* argv[2] = {name, nullptr};
    QApplication app{argc, argv};
    FakeDisplaySource list{{display(0, 0, 0, 1920, 1080), display(1, 0, -1080, 1920, 1080),
                            display(2, 1920, 0, 1280, 1024)}};
    FakeDesktopWindows windows;
    std::vector<std::string> lines;
    MacOverlays o;

    MacOverlaysTest() {
        o.displays = &list;
        o.windows = &windows;
        o.log = [this](const std::string& l) { lines.push_back(l); };
        o.origin = [] { return QPoint(100, 2000); };
    }
};

} // namespace

TEST_F(MacOverlaysTest, ShowOnlyOnListedDisplaysAndReusesOnePanel) {
    for (int bad : {-1, 3, 4}) {
        o.show(bad, 1, "Main", TargetMode::number());
    }
    EXPECT_TRUE(o.panels().empty());
    o.show(1, 2, "Top", TargetMode::number());
    ASSERT_EQ(1u, o.panels().size());
    OverlayPanel* first = o.panels().at(1).get();
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(QRect(100, 920, 1920, 1080), first->geometry());

    o.show(1, 2, "Top", TargetMode::at(CalCorner::tl));
    o.hideAll();
    EXPECT_FALSE(first->isVisible());
    o.show(1, 2, "Top", TargetMode::dark());
    EXPECT_EQ(first, o.panels().at(1).get());
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(1u, o.panels().size());
}

TEST_F(MacOverlaysTest, ArrivalPlaysOnTheDisplayHoldingThePoint) {
    struct Case {
        QPointF at;
        QRect panel; // none: no display holds the point
        QPointF to;  // in the panel
    } cases[] = {
        {{100, -50}, {100, 920, 1920, 1080}, {100, 1030}}, // above the primary
        {{1920, 10}, {2020, 2000, 1280, 1024}, {0, 10}},   // on the shared edge: the right one
        {{0, 0}, {100, 2000, 1920, 1080}, {0, 0}},         // the primary's corner
        {{10, 1080}, {}, {}},                              // below the primary's bottom edge
        {{5000, 5000}, {}, {}},
    };
    for (const Case& c : cases) {
        MacOverlays fresh;
        fresh.displays = &list;
        fresh.origin = o.origin;
        fresh.arrival(c.at, recipe(0.5), "L", 2, "Desk");
        if (c.panel.isNull()) {
            EXPECT_EQ(nullptr, fresh.landing()) << c.at.x() << "," << c.at.y();
            continue;
        }
        ASSERT_NE(nullptr, fresh.landing());
        EXPECT_EQ(c.panel, fresh.landing()->geometry()) << c.at.x() << "," << c.at.y();
        auto* view = dynamic_cast<JumpView*>(fresh.landing()->content());
        ASSERT_NE(nullptr, view);
        EXPECT_EQ(c.to, view->drawer().to);
        EXPECT_EQ(2, view->drawer().number);
    }
}

TEST_F(MacOverlaysTest, EachArrivalPostponesTheOneOrderOut) {
    o.arrival({10, 10}, recipe(0.5), "L", 1, "");
    ASSERT_TRUE(o.landingHide());
    EXPECT_TRUE(o.landingHide()->isActive());
    EXPECT_EQ(600, o.landingHide()->interval());
    o.arrival({2000, 10}, recipe(1.2), "R", 3, "");
    EXPECT_EQ(1300, o.landingHide()->interval());
    EXPECT_EQ(1, o.landing()->findChildren<QTimer*>(Qt::FindDirectChildrenOnly).size());
    EXPECT_TRUE(o.landing()->isVisible());
    o.arrival({20, 20}, recipe(-1), "L", 1, ""); // no time: gone after the margin alone
    EXPECT_EQ(100, o.landingHide()->interval());
}

TEST_F(MacOverlaysTest, WithoutACompositorArrivalsAreSkippedAndSaidOnce) {
    windows.composited = false;
    o.arrival({10, 10}, recipe(0.5), "L", 1, "");
    o.arrival({10, 10}, recipe(0.5), "L", 1, "");
    EXPECT_EQ(nullptr, o.landing());
    EXPECT_EQ(std::vector<std::string>{"jump effect skipped: no compositing manager"}, lines);
    o.show(0, 1, "Main", TargetMode::number());
    EXPECT_TRUE(o.panels().at(0)->isVisible()) << "targets still show";
}

TEST_F(MacOverlaysTest, SimulationOnlyLogsTargets) {
    o.simulation = true;
    o.show(0, 2, "Main", TargetMode::at(CalCorner::tl));
    o.show(7, 3, "Side", TargetMode::camera());
    o.arrival({10, 10}, recipe(0.5), "L", 1, "");
    EXPECT_EQ((std::vector<std::string>{"target (test mode, not shown): screen 2 corner(tl)",
                                        "target (test mode, not shown): screen 3 camera"}),
              lines);
    EXPECT_TRUE(o.panels().empty());
    EXPECT_EQ(nullptr, o.landing());
}

TEST(StatusPanel, SitsTwentyPointsInFromTheWorkAreasCorner) {
    struct Case {
        QRect available, screen, box;
    } cases[] = {
        {{0, 0, 1920, 1050}, {0, 0, 1920, 1080}, {1620, 956, 280, 74}},
        {{1920, 30, 1280, 994}, {1920, 0, 1280, 1024}, {2900, 930, 280, 74}},
        {{}, {0, 0, 1920, 1080}, {1620, 986, 280, 74}}, // no work area published
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.box, StatusPanel::place(c.available, c.screen));
    }
}

TEST_F(MacOverlaysTest, OnADenserScreenTheEffectIsPlacedInLogicalPixels) {
    // The display right of the primary has two device pixels per logical one.
    o.origin = [] { return QPoint(0, 0); };
    o.scale = [] {
        return ScreenScale({{0, 0, 1920, 1080, 0, 0, 1}, {1920, 0, 640, 512, 1920, 0, 2}});
    };
    o.arrival({2020, 100}, recipe(0.5), "R", 3, "");
    ASSERT_NE(nullptr, o.landing());
    EXPECT_EQ(QRect(1920, 0, 640, 512), o.landing()->geometry());
    auto* view = dynamic_cast<JumpView*>(o.landing()->content());
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(QPointF(50, 50), view->drawer().to);
    EXPECT_EQ(QRectF(0, 0, 640, 512), view->drawer().area);
}
