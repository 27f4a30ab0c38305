#include "windows/ScreenMap.h"

#include "DeskSample.h"

#include <gtest/gtest.h>

namespace helm {
namespace {

using test::mouse;

struct MapFixture : ::testing::Test {
    MapFixture() {
        test::needApplication();
        model.onChange = [this](const Layout& l) { changes.push_back(l); };
        model.onDragging = [this](bool on) { dragging.push_back(on); };
    }
    QPointF centre(ScreenMap& map, int i) const {
        MapGeometry::Box b =
            MapGeometry::box(*map.mapping(), model.layout.rightSign, model.layout.screens[i]);
        return {b.x + b.w / 2, b.y + b.h / 2};
    }
    int handles(ScreenMap& map) const {
        int n = 0;
        for (QWidget* w : map.findChildren<QWidget*>()) {
            n += w->accessibleName().startsWith("Resize screen ") ? 1 : 0;
        }
        return n;
    }
    DeskModel model{test::sampleLayout()};
    std::vector<Layout> changes;
    std::vector<bool> dragging; // what onDragging was told, in order
};

TEST_F(MapFixture, ADragPastTheEdgeHoldsTheMapStillUntilRelease) {
    ScreenMap map(model, true);
    map.resize(558, 513);
    const MapGeometry::Fit before = *map.mapping();
    const QPointF from = centre(map, 1); // mac/b
    const Layout start = model.layout;
    mouse(map, QEvent::MouseButtonPress, from);
    for (int step = 1; step <= 4; ++step) {
        mouse(map, QEvent::MouseMove, from + QPointF(200 * step, -30 * step));
        EXPECT_EQ(*map.mapping(), before) << step;
        ASSERT_EQ(changes.size(), size_t(step));
        EXPECT_EQ(changes.back(), model.layout);
        EXPECT_EQ(changes.back().screens.size(), 3u);
        EXPECT_NEAR(changes.back().screens[1].yaw, start.screens[1].yaw + 200 * step / before.scale,
                    1e-9);
        EXPECT_EQ(changes.back().screens[0], start.screens[0]);
    }
    EXPECT_EQ(model.selected, "mac/b");
    mouse(map, QEvent::MouseButtonRelease, from + QPointF(800, -120), Qt::NoButton);
    EXPECT_FALSE(map.dragging());
    EXPECT_EQ((std::vector<bool>{true, false}), dragging); // one drag, however many steps
    EXPECT_LT(map.mapping()->scale, before.scale);         // refitted around the far box
}

TEST_F(MapFixture, AMapThatOnlyShowsHasNoHandlesAndDoesNotMoveButTapsSelect) {
    ScreenMap shows(model, false);
    ScreenMap edits(model, true);
    for (ScreenMap* m : {&shows, &edits}) {
        m->resize(558, 513);
        m->show();
    }
    EXPECT_EQ(handles(shows), 0);
    EXPECT_EQ(handles(edits), 3);

    const QPointF at = centre(shows, 2);
    mouse(shows, QEvent::MouseButtonPress, at);
    mouse(shows, QEvent::MouseMove, at + QPointF(60, 60));
    mouse(shows, QEvent::MouseButtonRelease, at + QPointF(60, 60), Qt::NoButton);
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(model.selected, "mac/a");

    mouse(shows, QEvent::MouseButtonPress, at);
    mouse(shows, QEvent::MouseButtonRelease, at + QPointF(1, 0), Qt::NoButton);
    EXPECT_EQ(model.selected, "pc/x");
    EXPECT_TRUE(changes.empty());
    EXPECT_TRUE(dragging.empty());
}

TEST_F(MapFixture, TheHandleResizesAndAGestureEndsWhenTheWindowHides) {
    ScreenMap map(model, true);
    map.resize(558, 513);
    map.show();
    const double scale = map.mapping()->scale;
    MapGeometry::Box b = MapGeometry::box(*map.mapping(), 1, model.layout.screens[0]);
    MapGeometry::Box h = MapGeometry::handle(b);
    const QPointF grip(h.x + h.w / 2, h.y + h.h / 2);
    mouse(map, QEvent::MouseButtonPress, grip);
    mouse(map, QEvent::MouseMove, grip + QPointF(1, 0)); // one point is enough for a handle
    mouse(map, QEvent::MouseMove, grip + QPointF(40, 20));
    EXPECT_NEAR(model.layout.screens[0].width, 30 + 40 / scale, 1e-9);
    EXPECT_NEAR(model.layout.screens[0].height, 18 + 20 / scale, 1e-9);
    map.hide();
    EXPECT_FALSE(map.dragging());
    EXPECT_EQ((std::vector<bool>{true, false}), dragging);
}

TEST_F(MapFixture, AMapWithoutAreaStartsNoGesture) {
    ScreenMap map(model, true);
    map.resize(0, 300);
    EXPECT_FALSE(map.mapping());
    mouse(map, QEvent::MouseButtonPress, {0, 150});
    mouse(map, QEvent::MouseMove, {0, 250});
    EXPECT_TRUE(changes.empty());
    EXPECT_FALSE(map.dragging());
}

} // namespace
} // namespace helm
