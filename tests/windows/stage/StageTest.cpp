#include "StageSample.h"

#include "gaze/Head.h"
#include "ui/Palette.h"
#include "windows/stage/Stage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace helm;

namespace {

Stage updated(const DeskModel& m, std::optional<std::string> target = std::nullopt) {
    test::guiApp();
    Stage s;
    s.update(m, target);
    return s;
}

} // namespace

TEST(Stage, RebuildsSlabsOnlyWhenTheLayoutChanges) {
    struct Case {
        const char* what;
        std::function<void(DeskModel&)> change;
        int rebuilds;
    } cases[] = {
        {"gaze angle",
         [](DeskModel& m) {
             m.angle = Angle{-10, 4};
         },
         0},
        {"head",
         [](DeskModel& m) {
             m.head = V3{3, -2, 60};
         },
         0},
        {"looked-at screen", [](DeskModel& m) { m.looking = m.layout.screens[0].id; }, 0},
        {"renamed screen", [](DeskModel& m) { m.layout.screens[0].name = "Studio"; }, 1},
        {"computer name", [](DeskModel& m) { m.layout.screens[1].computerName = "DESK"; }, 1},
        {"guess replaced by calibration",
         [](DeskModel& m) {
             Screen& s = m.layout.screens[2];
             s.rect = Rect3{{30, 40, 0}, {1, 0, 0}, 25, 14};
         },
         1},
    };
    for (const Case& c : cases) {
        DeskModel m = test::sampleDesk();
        m.layout.screens[2].rect.reset(); // the third screen is still guessed
        Stage s = updated(m);
        ASSERT_EQ(1, s.rebuilds());
        c.change(m);
        s.update(m, std::nullopt);
        s.update(m, std::nullopt);
        EXPECT_EQ(1 + c.rebuilds, s.rebuilds()) << c.what;
        EXPECT_EQ(3u, s.slabs().size()) << c.what;
    }
    DeskModel m = test::sampleDesk();
    m.layout.screens[2].rect.reset();
    Stage s = updated(m);
    m.layout.screens[2].rect = Rect3{{30, 40, 0}, {1, 0, 0}, 25, 14};
    s.update(m, std::nullopt);
    EXPECT_EQ((V3{30, 40, 0}), s.slabs()[2].c) << "the calibrated rect wins over the guess";
}

TEST(Stage, ColoursFollowTheLookAndTheTarget) {
    DeskModel m = test::sampleDesk(); // looks at the second screen
    Stage s = updated(m, m.layout.screens[1].id);
    QColor pc = computerColor(m.layout.screens[1], m.layout);
    ASSERT_NE(gLive.rgb(), pc.rgb());
    s.update(m, m.layout.screens[2].id);
    struct Case {
        size_t slab;
        double alpha;
        QColor emission;
        double emissionAlpha;
        const char* what;
    } cases[] = {
        {0, 0.18, Qt::black, 1, "neither"},
        {1, 0.55, gLive, 0.5, "looked at (and before, aimed): the look wins"},
        {2, 0.55, pc, 0.35, "aimed"},
    };
    for (const Case& c : cases) {
        const Stage::Slab& slab = s.slabs()[c.slab];
        EXPECT_NEAR(c.alpha, slab.diffuse.alphaF(), 0.003) << c.what;
        EXPECT_EQ(computerColor(slab.screen, m.layout).rgb(), slab.diffuse.rgb()) << c.what;
        EXPECT_EQ(c.emission.rgb(), slab.emission.rgb()) << c.what;
        EXPECT_NEAR(c.emissionAlpha, slab.emission.alphaF(), 0.003) << c.what;
    }
    // Looked at and aimed at once still glows green.
    s.update(m, m.layout.screens[1].id);
    EXPECT_EQ(gLive.rgb(), s.slabs()[1].emission.rgb());
}

TEST(Stage, HeadRodAndKeyboardFollowTheModel) {
    DeskModel m = test::sampleDesk();
    Stage s = updated(m);
    EXPECT_EQ((V3{-4, -6, 52}), s.headAt());
    V3 d = Head::direction({-4, -6, 52}, {25, 2}, {0, 0}, 1);
    ASSERT_TRUE(s.gaze());
    EXPECT_EQ(d, *s.gaze());

    m.head.reset();
    m.layout.seat = V3{1, 2, 70};
    s.update(m, std::nullopt);
    EXPECT_EQ((V3{1, 2, 70}), s.headAt()) << "no head: the seat";
    m.layout.seat.reset();
    m.angle.reset();
    s.update(m, std::nullopt);
    EXPECT_EQ(V3::seat, s.headAt()) << "no seat either";
    EXPECT_FALSE(s.gaze()) << "no angle, no rod";
    m.angle = Angle{0, 0};
    m.head = V3{NAN, 0, 50};
    s.update(m, std::nullopt);
    EXPECT_FALSE(s.gaze()) << "a head with no place has no direction";

    struct Case {
        std::optional<V3> point;
        bool atKeyboard;
        std::optional<V3> want;
        QColor colour;
    } cases[] = {
        {V3{5, -40, 30}, false, V3{5, -27, 30}, QColor::fromRgbF(0.45f, 0.45f, 0.45f)},
        {V3{5, -10, 30}, true, V3{5, -10, 30}, gLive},
        {std::nullopt, true, std::nullopt, {}},
    };
    for (const Case& c : cases) {
        m.layout.keyboard = c.point;
        m.atKeyboard = c.atKeyboard;
        s.update(m, std::nullopt);
        EXPECT_EQ(c.want, s.keyboardAt());
        if (c.want) {
            EXPECT_EQ(c.colour.rgb(), s.keyboardColor().rgb());
            EXPECT_NEAR(c.atKeyboard ? 0.7 : 1.0, s.keyboardColor().alphaF(), 0.003);
        }
    }
}

TEST(Stage, SlabsKeepOnlyPlaceableScreensAndFadeUncalibratedOnes) {
    const double inf = INFINITY;
    struct Case {
        Rect3 rect;
        bool slab;
    } cases[] = {
        {{{0, 10, -5}, {1, 0, 0}, 20, 12}, true},    {{{NAN, 10, -5}, {1, 0, 0}, 20, 12}, false},
        {{{0, 10, -5}, {inf, 0, 0}, 20, 12}, false}, {{{0, 10, -5}, {1, 0, 0}, 0, 12}, false},
        {{{0, 10, -5}, {1, 0, 0}, 20, -1}, false},   {{{0, 10, -5}, {1, 0, 0}, inf, 12}, false},
    };
    for (const Case& c : cases) {
        DeskModel m = test::sampleDesk();
        m.layout.screens[0].rect = c.rect;
        m.layout.screens[1].learned = false;
        Stage s = updated(m, m.layout.screens[0].id);
        ASSERT_EQ(c.slab ? 3u : 2u, s.slabs().size());
        EXPECT_EQ(c.slab, s.slabs()[0].screen.id == "mac/a");
        EXPECT_NEAR(0.55, s.slabs()[c.slab ? 1 : 0].opacity, 1e-9);
        // A damaged rect must not keep the picture from being drawn.
        QImage img = s.snapshot({300, 200});
        EXPECT_FALSE(img.isNull());
    }
    // One id twice: both slabs, and both gone after the next rebuild.
    DeskModel m = test::sampleDesk();
    m.layout.screens[2].id = m.layout.screens[1].id;
    Stage s = updated(m);
    EXPECT_EQ(3u, s.slabs().size());
    m.layout.screens.resize(1);
    s.update(m, std::nullopt);
    EXPECT_EQ(1u, s.slabs().size());
}

TEST(Stage, NumberScaleGrowsWithTheSlabUpToItsLargest) {
    struct Case {
        double halfH, scale;
    } cases[] = {{5, 0.55}, {10, 1.1}, {12.72, 1.3992}, {12.73, 1.4}, {40, 1.4}};
    for (const Case& c : cases) {
        EXPECT_NEAR(c.scale, Stage::numberScale(c.halfH), 1e-3) << c.halfH;
    }
    // The glyphs start at (0, 0) and are 10 units high for a 10-point font.
    Stage s = updated(test::sampleDesk());
    const Stage::Glyphs& g = s.slabs()[0].number;
    QRectF box;
    for (const QPolygonF& poly : g.outline) {
        box |= poly.boundingRect();
    }
    EXPECT_EQ(g.box, box);
    EXPECT_NEAR(0, box.left(), 1e-9);
    EXPECT_NEAR(0, box.top(), 1e-9);
    EXPECT_GT(box.height(), 6);
    EXPECT_LT(box.height(), 10);
}
