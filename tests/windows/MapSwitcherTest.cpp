#include "windows/MapSwitcher.h"

#include "DeskSample.h"
#include "windows/ScreenMap.h"
#include "windows/stage/Desk3DView.h"

#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace helm {
namespace {

bool showsMap(const MapSwitcher& s) {
    return dynamic_cast<ScreenMap*>(s.content()) != nullptr;
}

TEST(MapSwitcher, EachKindOpensOnItsOwnStoredChoice) {
    test::needApplication();
    struct Case {
        const char* name;
        bool editable;
        std::optional<bool> stored3D; // under the other kind's key
        bool want3D;
    };
    const Case cases[] = {
        {"editor opens flat", true, std::nullopt, false},
        {"guide opens in 3-D", false, std::nullopt, true},
        {"editor ignores the guide's key", true, true, false},
        {"guide ignores the editor's key", false, false, true},
    };
    for (const Case& c : cases) {
        Defaults d;
        if (c.stored3D) {
            d.set(c.editable ? "map3d" : "map3d.edit", *c.stored3D);
        }
        DeskModel model(test::sampleLayout());
        MapSwitcher s(model, d, c.editable);
        EXPECT_EQ(s.threeD(), c.want3D) << c.name;
        EXPECT_EQ(showsMap(s), !c.want3D) << c.name;
        EXPECT_EQ(s.picker()->toolTip(), c.want3D
                                             ? "Drag to turn the desk, scroll to zoom"
                                             : "Drag a box to move it, drag its corner to resize")
            << c.name;
    }
}

TEST(MapSwitcher, AChoiceIsStoredAtOnceAndShownByEveryEditor) {
    test::needApplication();
    Defaults d;
    DeskModel model(test::sampleLayout());
    MapSwitcher window(model, d, true);
    MapSwitcher finetune(model, d, true);
    MapSwitcher guide(model, d, false);

    window.segment(true)->click();
    EXPECT_EQ(d.boolean("map3d.edit"), true);
    EXPECT_FALSE(d.boolean("map3d"));
    EXPECT_TRUE(finetune.threeD());
    EXPECT_FALSE(showsMap(finetune));
    EXPECT_TRUE(finetune.segment(true)->isChecked());

    // Flat destroys the 3-D view, so choosing 3-D again starts a fresh one.
    QPointer<QWidget> first = window.content();
    finetune.segment(false)->click();
    EXPECT_EQ(d.boolean("map3d.edit"), false);
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(showsMap(window));
    EXPECT_EQ(window.picker()->toolTip(), "Drag a box to move it, drag its corner to resize");
    EXPECT_TRUE(guide.threeD());

    // Turned, then Flat and 3-D again: the new view looks from the stage's own eye.
    window.segment(true)->click();
    auto* turned = dynamic_cast<Desk3DView*>(window.content());
    ASSERT_NE(turned, nullptr);
    turned->resize(300, 200);
    QTest::mousePress(turned, Qt::LeftButton, {}, {10, 10});
    QTest::mouseMove(turned, {120, 60});
    QTest::mouseRelease(turned, Qt::LeftButton, {}, {120, 60});
    ASSERT_NE(turned->view().eye(), turned->stage().eye().eye());
    window.segment(false)->click();
    window.segment(true)->click();
    auto* fresh = dynamic_cast<Desk3DView*>(window.content());
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->view().eye(), (V3{0, 60, 150}));
}

} // namespace
} // namespace helm
