// Pixel probes of the effect, the preview, the target view and the status box.
#include "Canvas.h"

#include "gaze/feed/HoldProgress.h"
#include "overlays/draw/HUDView.h"
#include "overlays/draw/JumpDrawer.h"
#include "overlays/draw/JumpPreview.h"
#include "overlays/draw/JumpView.h"
#include "overlays/draw/JumpsLoad.h"
#include "overlays/draw/PanelView.h"
#include "overlays/draw/TargetView.h"
#include "ui/Palette.h"

#include <QPainter>

#include <cmath>
#include <limits>

using namespace helm;

namespace {

using Layer = JumpRecipe::Layer;

Layer layer(const std::string& type) {
    Layer l;
    l.type = type;
    return l;
}

JumpDrawer drawer(std::vector<Layer> layers, double dur = 1) {
    JumpRecipe r;
    r.dur = dur;
    r.layers = std::move(layers);
    // The landing point on a pixel's centre.
    return JumpDrawer{r, QPointF(100.5, 100.5), QRectF(0, 0, 200, 200), "L", 2, "PC", 1, false};
}

QImage frame(const JumpDrawer& d, double p, QSize size = {200, 200}) {
    QImage img = test::canvas(size.width(), size.height());
    QPainter g(&img);
    d.draw(g, p);
    return img;
}

int alphaAt(const QImage& img, int x, int y) {
    return qAlpha(img.pixel(x, y));
}

bool empty(const QImage& img) {
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (qAlpha(img.pixel(x, y)) != 0) {
                return false;
            }
        }
    }
    return true;
}

// The runs of drawn pixels along row y: one per dot or line crossed.
int runs(const QImage& img, int y) {
    int n = 0;
    bool in = false;
    for (int x = 0; x < img.width(); ++x) {
        bool on = alphaAt(img, x, y) > 8;
        n += on && !in;
        in = on;
    }
    return n;
}

const double notANumber = std::numeric_limits<double>::quiet_NaN();

} // namespace

TEST(JumpDraw, NothingOutsideTheEffectsTime) {
    Layer ring = layer("ring");
    JumpDrawer d = drawer({ring});
    d.recipe.pointer = JumpRecipe::Pointer{};
    for (double p : {1.0, 1.5, -0.01, notANumber}) {
        EXPECT_TRUE(empty(frame(d, p))) << p;
    }
    EXPECT_FALSE(empty(frame(d, 0.5)));
    // A window of one instant draws only then, as finished.
    Layer once = layer("glow");
    once.t0 = once.t1 = 0.4;
    once.a1 = 1;
    EXPECT_TRUE(empty(frame(drawer({once}), 0.39)));
    EXPECT_EQ(255, alphaAt(frame(drawer({once}), 0.4), 100, 100));
    // A bell is clear at both ends and at its peak opacity half-way.
    Layer bell = layer("glow");
    bell.bell = true;
    bell.a0 = 0.8;
    bell.ease = "linear";
    const std::pair<double, int> bells[] = {{0, 0}, {0.5, 204}, {0.999999, 0}};
    for (const auto& [p, a] : bells) {
        EXPECT_NEAR(a, alphaAt(frame(drawer({bell}), p), 100, 100), 1) << p;
    }
}

TEST(JumpDraw, StillModeIsAFadingDotOnly) {
    Layer orange = layer("ring");
    orange.color = "#FF9F0A";
    JumpDrawer d = drawer({orange}, 0.6);
    d.recipe.pointer = JumpRecipe::Pointer{};
    d.still = true;
    QImage at = frame(d, 0.125); // 0.075 s in: half faded
    EXPECT_NEAR(0.175 * 255, alphaAt(at, 100, 100), 1);
    QColor c = at.pixelColor(100, 100);
    EXPECT_NEAR(159, c.green() * 255.0 / c.red(), 8) << "the first layer's colour";
    EXPECT_EQ(0, alphaAt(at, 100, 100 + 15)) << "no ghost under the dot";
    EXPECT_TRUE(empty(frame(d, 0.25)));
}

TEST(JumpDraw, GhostDropsInWithAWideShadow) {
    JumpDrawer d = drawer({});
    d.recipe.pointer = JumpRecipe::Pointer{std::nullopt, -40.0, std::nullopt, true};
    QImage start = frame(d, 0);
    // The arrow 40 above the landing point, its tip white under a black outline.
    EXPECT_EQ(0, alphaAt(start, 102, 104));
    EXPECT_EQ(255, alphaAt(start, 102, 66));
    // The shadow: 7 × (1 + 40/26) ≈ 17.8 either side of x + 4 at the start, 7 at the end.
    EXPECT_GT(alphaAt(start, 104 + 17, 115), 0);
    EXPECT_EQ(0, alphaAt(start, 104 + 19, 115));
    QImage late = frame(d, 0.69);
    EXPECT_GT(alphaAt(late, 104 + 6, 115), 0);
    EXPECT_EQ(0, alphaAt(late, 104 + 9, 115));
    EXPECT_TRUE(empty(frame(d, 0.99999)) || alphaAt(frame(d, 0.99999), 102, 106) < 3);
}

TEST(JumpDraw, LayerGeometry) {
    // Three staggered rings at q = 0.2: radii 26.9 and 11.2; the third has not started.
    Layer rings = layer("ring");
    rings.count = 3;
    rings.width = 2;
    QImage r = frame(drawer({rings}), 0.2);
    EXPECT_GT(alphaAt(r, 100 + 27, 100), 100);
    EXPECT_GT(alphaAt(r, 100 + 11, 100), 100);
    EXPECT_EQ(0, alphaAt(r, 100 + 4, 100));

    // A cross without a length spans the area; with 10 it is 20 across.
    Layer cross = layer("cross");
    EXPECT_GT(alphaAt(frame(drawer({cross}), 0.1), 199, 100), 0);
    cross.len = 10;
    QImage small = frame(drawer({cross}), 0.1);
    EXPECT_GT(alphaAt(small, 109, 100), 0);
    EXPECT_EQ(0, alphaAt(small, 112, 100));

    // The scan comes from the right only for "R".
    Layer scan = layer("scan");
    scan.ease = "linear";
    for (const char* dir : {"R", "L", "U", "-"}) {
        JumpDrawer d = drawer({scan});
        d.dir = dir;
        QImage s = frame(d, 0.5); // the line half-way from its edge to x = 100
        EXPECT_GT(alphaAt(s, std::string(dir) == "R" ? 150 : 50, 10), 100) << dir;
    }

    // Particles: sizes do not go below zero; "accent" in the list takes the layer's colour.
    Layer parts = layer("particles");
    parts.n = 2;
    parts.d1 = 40;
    parts.s0 = 3;
    parts.s1 = -5;
    parts.color = "#FF9F0A";
    parts.colors = std::vector<std::string>{"accent", "#FFFFFF"};
    parts.a1 = 1;
    EXPECT_TRUE(empty(frame(drawer({parts}), 0.9)));
    parts.s1 = 3;
    QImage pp = frame(drawer({parts}), 0.9);
    EXPECT_EQ(qRgb(255, 159, 10), pp.pixel(140, 100));
    EXPECT_EQ(qRgb(255, 255, 255), pp.pixel(60, 100));

    // "trail" dots: 16 gaps give 17 dots; a wave lights 13 of them half-way, and the last 4
    // stay lit at the end while the first have gone out.
    Layer trail = layer("trail");
    trail.style = "dots";
    trail.dist = 96;
    trail.lift = 0;
    trail.s = 1.5;
    EXPECT_TRUE(empty(frame(drawer({trail}), 0)));
    EXPECT_EQ(13, runs(frame(drawer({trail}), 0.5), 100));
    EXPECT_EQ(4, runs(frame(drawer({trail}), 0.999999), 100));

    // Portals vanish while they are half a point high or less.
    Layer portals = layer("portals");
    portals.colors = std::vector<std::string>{"#FFFFFF"};
    EXPECT_TRUE(empty(frame(drawer({portals}), 0.001)));
    QImage two = frame(drawer({portals}), 0.5);
    EXPECT_EQ(two.pixel(20 + 8, 100), two.pixel(64 + 8, 100)) << "one colour for both";
}

TEST(JumpDraw, BrokenLayersDrawNothingAndNeverHang) {
    auto with = [](const char* type, auto field, double v) {
        Layer l = layer(type);
        l.*field = v;
        return l;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Layer broken[] = {
        with("ring", &Layer::count, -1),    with("ring", &Layer::count, 1e9),
        with("particles", &Layer::n, inf),  with("orbit", &Layer::n, 10001),
        with("poly", &Layer::sides, -3),    with("spiral", &Layer::n, notANumber),
        with("trail", &Layer::n, 0),        with("ring", &Layer::r1, 1e300),
        with("glow", &Layer::r1, -1e300),   with("brackets", &Layer::s0, 1e200),
        with("trail", &Layer::dist, 1e308), with("radar", &Layer::r, 1e12),
    };
    for (const Layer& l : broken) {
        JumpDrawer d = drawer({l});
        if (l.type == "trail" && l.n) {
            d.recipe.layers[0].style = "dots";
        }
        EXPECT_TRUE(empty(frame(d, 0.3))) << l.type;
    }
    // Stagger leaving no time: ring 0 still draws, nothing fails.
    Layer rings = with("ring", &Layer::stagger, 0.9);
    rings.count = 3;
    EXPECT_FALSE(empty(frame(drawer({rings}), 0.3)));
    // An empty colour list is no list; a negative width a hairline.
    Layer orbit = layer("orbit");
    orbit.colors = std::vector<std::string>{};
    orbit.width = -4;
    EXPECT_FALSE(empty(frame(drawer({orbit, with("ring", &Layer::width, -4)}), 0.3)));
}

TEST(JumpDraw, TagShowsNumberNameOrBoth) {
    // Each label must look exactly like a plain name holding the expected text.
    const struct {
        std::optional<std::string> text;
        std::string name, shows;
    } cases[] = {
        {std::nullopt, "WORK PC", "2 \u00B7 WORK PC"},
        {"both", "WORK PC", "2 \u00B7 WORK PC"},
        {"Hello", "PC", "2 \u00B7 PC"},
        {"number", "PC", "2"},
    };
    for (const auto& c : cases) {
        Layer tag = layer("tag");
        tag.text = c.text;
        JumpDrawer d = drawer({tag});
        d.name = c.name;
        Layer plain = layer("tag");
        plain.text = "name";
        JumpDrawer want = drawer({plain});
        want.number = 7;
        want.name = c.shows;
        EXPECT_EQ(frame(want, 0.5), frame(d, 0.5)) << c.shows;
    }
}

// The effect's view repaints only the rectangle the drawer says it reaches: whatever a frame
// draws outside it would be left behind on the screen.
TEST(JumpDraw, EveryFrameStaysInsideItsReach) {
    std::optional<Jumps::File> f = Jumps::load();
    ASSERT_TRUE(f);
    for (const JumpRecipe& r : f->recipes) {
        for (const char* dir : {"L", "U"}) {
            JumpDrawer d{r.colored("#30D158"),
                         QPointF(380, 220),
                         QRectF(0, 0, 600, 400),
                         dir,
                         2,
                         "WORK PC",
                         1,
                         false};
            const QRect reach = d.reach().toAlignedRect();
            for (int i = 0; i < 12; ++i) {
                QImage img = frame(d, i / 12.0, {600, 400});
                int stray = 0;
                for (int y = 0; y < img.height(); ++y) {
                    const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
                    for (int x = 0; x < img.width(); ++x) {
                        stray += qAlpha(row[x]) != 0 && !reach.contains(x, y);
                    }
                }
                EXPECT_EQ(0, stray) << r.id << " " << dir << " p = " << i / 12.0;
            }
        }
    }
}

// The view repaints only where a frame can differ from the last: a pixel that changes outside
// that region would stay on the screen from an older frame.
TEST(JumpDraw, EveryChangedPixelIsRepainted) {
    std::optional<Jumps::File> f = Jumps::load();
    ASSERT_TRUE(f);
    // Frame pairs: a 60 Hz view's neighbours (one dimming step apart or none), a late tick that
    // skips ahead, layers' starts and ends, and the empty frame after the end.
    const std::pair<double, double> pairs[] = {{0.3, 0.315}, {0.5, 0.512}, {0.02, 0.4},
                                               {0.69, 0.71}, {0.95, 1.0},  {0, 0.99}};
    // And the full-area cross, which no bundled recipe has.
    std::vector<JumpRecipe> recipes = f->recipes;
    recipes.push_back(recipes.front());
    recipes.back().layers = {layer("cross"), layer("tag")};
    int smaller = 0;
    for (const JumpRecipe& r : recipes) {
        for (const char* dir : {"L", "R"}) {
            JumpDrawer d{r.colored("#30D158"),
                         QPointF(520, 300),
                         QRectF(0, 0, 800, 480),
                         dir,
                         2,
                         "WORK PC",
                         0.5,
                         false};
            for (const auto& [a, b] : pairs) {
                QImage one = frame(d, a, {800, 480});
                const QRegion region = d.change(a, b, &one);
                QImage two = frame(d, b, {800, 480});
                int stray = 0;
                for (int y = 0; y < one.height(); ++y) {
                    const QRgb* p = reinterpret_cast<const QRgb*>(one.constScanLine(y));
                    const QRgb* q = reinterpret_cast<const QRgb*>(two.constScanLine(y));
                    for (int x = 0; x < one.width(); ++x) {
                        stray += p[x] != q[x] && !region.contains(QPoint(x, y));
                    }
                }
                EXPECT_EQ(0, stray) << r.id << " " << dir << " " << a << " → " << b;
                smaller += !(QRegion(0, 0, 800, 480) - region).isEmpty();
            }
        }
    }
    EXPECT_GT(smaller, 60) << "most frame pairs repaint less than the whole area";
}

TEST(JumpView, PlaysOnceByTheClockAndStops) {
    test::needApplication();
    double now = 10;
    const std::pair<double, bool> cases[] = {
        {0.5, true}, {0, false}, {-1, false}, {notANumber, false}};
    for (const auto& [dur, plays] : cases) {
        JumpView v(drawer({layer("glow")}, dur), nullptr, [&] { return now; });
        v.resize(200, 200);
        now = 10.25;
        QImage mid = v.grab().toImage();
        EXPECT_EQ(plays, v.playing()) << dur;
        EXPECT_EQ(plays, qAlpha(mid.pixel(100, 100)) > 0) << dur;
        now = 10.5;
        v.grab();
        EXPECT_FALSE(v.playing()) << "stopped after the frame at p = 1";
        now = 10;
    }
}

// Ticks alone end the effect, also when its last frames paint nothing: a timer left running
// would wake the program 60 times a second for good.
TEST(JumpView, TicksStopAtTheEndWithoutAPaint) {
    test::needApplication();
    Layer early = layer("glow");
    early.t1 = 0.5;
    const std::pair<double, bool> cases[] = {{0.95, true}, {1, false}, {5, false}};
    for (const auto& [at, plays] : cases) {
        double now = 0;
        JumpView v(drawer({early}, 1), nullptr, [&] { return now; });
        v.resize(200, 200);
        now = 0.9;
        v.grab(); // an empty frame on screen: the glow is over
        now = at;
        v.tick();
        EXPECT_EQ(plays, v.playing()) << at;
    }
}

TEST(JumpPreview, DeskPointerAndEffect) {
    JumpRecipe r;
    r.dur = 0.6;
    r.layers = {layer("cross")};
    r.layers[0].a1 = 1;
    r.motion = JumpRecipe::Motion{"glide", std::nullopt, std::nullopt};
    auto tile = [&](double w, double t, bool still) {
        QImage img = test::canvas(static_cast<int>(w), static_cast<int>(w * 9 / 16));
        QPainter g(&img);
        JumpPreview::paint(g, w, r, "#FF9F0A", t, still);
        return img;
    };
    const QRgb orange = qRgb(255, 159, 10);
    // The cross spans the PC screen only: T = (235, 81).
    QImage at = tile(320, 0.1, false);
    EXPECT_EQ(orange, at.pixel(145, 81));
    EXPECT_NE(orange, at.pixel(135, 81));
    // At rest, and without motion, the pointer's tip is on the target.
    EXPECT_EQ(qRgb(255, 255, 255), tile(320, 1.2, false).pixel(237, 90));
    r.motion.reset();
    EXPECT_EQ(qRgb(255, 255, 255), tile(320, 0.1, false).pixel(237, 90));
    // Reduced motion: no cross, only the still dot.
    EXPECT_NE(orange, tile(320, 0.1, true).pixel(145, 81));
    // A duration that cannot loop: desk and pointer, no effect.
    r.dur = 0;
    QImage flat = tile(320, 0.1, false);
    EXPECT_NE(orange, flat.pixel(145, 81));
    EXPECT_EQ(qRgb(255, 255, 255), flat.pixel(237, 90));
    // The scene loops every dur + 0.9 s; a dimming darkens the PC's screen only.
    r.dur = 0.6;
    EXPECT_EQ(tile(320, 0.25, false), tile(320, 1.75, false));
    EXPECT_NE(tile(320, 0.25, false), tile(320, 1.25, false));
    r.layers = {layer("dim")};
    r.layers[0].a = 0.5;
    r.layers[0].h0 = r.layers[0].h1 = 20;
    QImage plain = tile(320, 1.2, false), dimmed = tile(320, 0.05, false);
    EXPECT_EQ(plain.pixel(60, 100), dimmed.pixel(60, 100)) << "the Mac";
    EXPECT_LT(qGreen(dimmed.pixel(300, 130)), qGreen(plain.pixel(300, 130))) << "the PC";
    r.layers = {layer("cross")};
    r.layers[0].a1 = 1;
    // Twice as wide is the same picture twice as large.
    EXPECT_EQ(tile(320, 0.2, false).pixel(200, 60), tile(640, 0.2, false).pixel(400, 120));
}

TEST(TargetView, DotRingAndLabelPlaces) {
    auto at = [](TargetMode mode, double progress, QSize size = {1920, 1080}) {
        QImage img = test::canvas(size.width(), size.height());
        QPainter g(&img);
        TargetView::paint(g, img.size(), 2, "Office", mode, progress, 0, true);
        return img;
    };
    const QRgb live = qRgb(48, 209, 89);
    QImage br = at(TargetMode::at(CalCorner::br), 0.5);
    EXPECT_EQ(live, br.pixel(1844, 1004));
    // The label's pill is centred at (1694.4, 924.4).
    int left = 1694, right = 1694;
    while (qRed(br.pixel(left - 1, 924)) > 12) {
        --left;
    }
    while (qRed(br.pixel(right + 1, 924)) > 12) {
        ++right;
    }
    EXPECT_NEAR(1694.4, (left + right + 1) / 2.0, 1.0);
    // Half a ring runs from 12 o'clock clockwise to 6 o'clock.
    EXPECT_EQ(live, br.pixel(1844 + 45, 1004));
    EXPECT_NE(live, br.pixel(1844 - 45, 1004));
    EXPECT_EQ(live, at(TargetMode::at(CalCorner::c), 1).pixel(960 - 45, 540));
    for (double bad : {notANumber, -2.0}) {
        EXPECT_NE(live, at(TargetMode::at(CalCorner::c), bad).pixel(960 + 45, 540)) << bad;
    }
    EXPECT_EQ(live, at(TargetMode::at(CalCorner::c), 7).pixel(960 - 45, 540));
    // The dimming: 0.8 for the number, 0.92 for the rest.
    EXPECT_EQ(204, qAlpha(at(TargetMode::number(), 0).pixel(5, 5)));
    EXPECT_EQ(235, qAlpha(at(TargetMode::dark(), 0).pixel(5, 5)));
}

TEST(TargetView, ReducedMotionStillsTheDotAndTheCheckMarkShowsWhenHeld) {
    auto at = [](double progress, double t, bool reduce) {
        QImage img = test::canvas(960, 540);
        QPainter g(&img);
        TargetView::paint(g, img.size(), 2, "Office", TargetMode::at(CalCorner::c), progress, t,
                          reduce);
        return img;
    };
    auto green = [](const QImage& img, int x, int y) { return qGreen(img.pixel(x, y)) > 120; };
    // At t = 0 the drift is (0, 5) and the spinner covers the first 79° below +x, at 54.
    const struct {
        bool reduce;
        int dotY;
        bool spinner;
    } cases[] = {{false, 275, true}, {true, 270, false}};
    for (const auto& c : cases) {
        QImage img = at(0.5, 0, c.reduce);
        EXPECT_TRUE(green(img, 480, c.dotY - 12) && green(img, 480, c.dotY + 12)) << c.reduce;
        EXPECT_EQ(c.spinner, green(img, 480 + 41, c.dotY + 35)) << c.reduce;
    }
    EXPECT_EQ(at(0.5, 0, true), at(0.5, 0.7, true)) << "nothing moves with reduced motion";
    // The check mark: dark strokes inside the dot only once the hold is complete.
    for (double p : {0.99, 1.0}) {
        QImage img = at(p, 0, true);
        int dark = 0;
        for (int y = 262; y <= 278; ++y) {
            for (int x = 472; x <= 488; ++x) {
                dark += qGreen(img.pixel(x, y)) < 60;
            }
        }
        EXPECT_EQ(p >= 1, dark > 10) << p;
    }
}

TEST(TargetView, RingEasesToNewValuesFromWhereItFirstPainted) {
    test::needApplication();
    HoldProgress progress;
    progress.setValue(1); // the last target's full ring
    double now = 5;
    TargetView v(
        1, "A", TargetMode::at(CalCorner::c), progress, [] { return true; }, nullptr,
        [&] { return now; });
    progress.setValue(0); // set just after the new target is shown
    v.resize(400, 300);
    v.grab();
    EXPECT_EQ(0, v.shown(now)) << "no unwinding from the old ring";
    progress.setValue(0.8);
    EXPECT_NEAR(0.4, v.shown(5.05), 1e-9);
    EXPECT_NEAR(0.8, v.shown(5.1), 1e-9);
    EXPECT_EQ(QStringLiteral("Look at the green dot"), v.accessibleName());
}

TEST(StatusBox, WarningColoursAndPublishing) {
    HUDState fine;
    fine.looking = "2";
    HUDState held = fine;
    held.held = true;
    HUDState problem = fine;
    problem.problem = "Trouble.";
    problem.locked = true;
    const std::pair<HUDState, std::string> cases[] = {
        {fine, "Looking at 2"}, {held, "Key held down"}, {problem, "Trouble."}};
    for (const auto& [state, line] : cases) {
        EXPECT_EQ(line, state.line());
        QImage img = test::canvas(280, 74);
        QPainter g(&img);
        PanelView::paint(g, state, std::nullopt);
        g.end();
        const bool warn = &state != &cases[0].first;
        EXPECT_EQ(warn ? gWarn.rgb() : gLive.rgb(), img.pixel(18, 26)) << line << ": the dot";
        // The border's top edge: orange-tinted when warning, the quiet line colour otherwise.
        EXPECT_EQ(warn, qRed(img.pixel(140, 0)) > 50) << line << ": the border";
    }

    test::needApplication();
    HUDView hud;
    int published = 0;
    QObject::connect(&hud.model, &HUDModel::changed, [&] { ++published; });
    hud.setState(HUDState{});
    EXPECT_EQ(0, published);
    HUDState frames;
    frames.fps = 3; // not drawn, still published
    hud.setState(frames);
    EXPECT_EQ(1, published);
    hud.setNote("Hello");
    EXPECT_EQ(2, published);
}

// Over a ground of its own the tile keeps its desk drawn and paints every pixel itself: the
// same picture as the one drawn afresh over that ground, at play and at rest.
TEST(JumpPreview, OverItsGroundTheTileIsThePictureDrawnAfresh) {
    test::needApplication();
    std::optional<Jumps::File> f = Jumps::load();
    ASSERT_TRUE(f);
    const QColor ground(14, 18, 23);
    for (const char* id : {"glide", "radar", "portal"}) {
        const JumpRecipe r = *Jumps::choose(f, id);
        for (double t : {0.3, r.dur + 0.5}) {
            JumpPreview v(
                r, "#30D158", [] { return false; }, nullptr, [&] { return t; });
            v.setGround(ground);
            v.resize(320, 180);
            EXPECT_TRUE(v.testAttribute(Qt::WA_OpaquePaintEvent));
            const QImage got = v.grab().toImage().convertToFormat(QImage::Format_RGB32);
            QImage want(320, 180, QImage::Format_RGB32);
            want.fill(ground);
            QPainter g(&want);
            JumpPreview::paint(g, 320, r, "#30D158", t, false);
            g.end();
            int worst = 0;
            for (int y = 0; y < 180; ++y) {
                for (int x = 0; x < 320; ++x) {
                    const QRgb a = got.pixel(x, y), b = want.pixel(x, y);
                    worst =
                        std::max({worst, std::abs(qRed(a) - qRed(b)),
                                  std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
                }
            }
            EXPECT_LE(worst, 2) << id << " at " << t;
        }
    }
}
