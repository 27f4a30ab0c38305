// Pictures of every drawn thing, compared with the reviewed ones in tests/data/overlays.
#include "Canvas.h"

#include "gaze/feed/HoldProgress.h"
#include "overlays/draw/JumpDrawer.h"
#include "overlays/draw/JumpPreview.h"
#include "overlays/draw/JumpsLoad.h"
#include "overlays/draw/PanelView.h"
#include "overlays/draw/TargetView.h"

#include <QPainter>

#include <functional>

using namespace helm;

namespace {

// Frames side by side, each w × h, over a dark grey desktop.
QImage strip(int w, int h, int frames, const std::function<void(QPainter&, int)>& draw) {
    QImage img = test::canvas(w * frames, h);
    img.fill(QColor(58, 62, 70));
    QPainter g(&img);
    for (int i = 0; i < frames; ++i) {
        g.save();
        g.translate(i * w, 0);
        g.setClipRect(0, 0, w, h);
        draw(g, i);
        g.restore();
    }
    return img;
}

JumpRecipe::Layer layer(const std::string& type) {
    JumpRecipe::Layer l;
    l.type = type;
    l.color = "#30D158";
    return l;
}

JumpDrawer drawer(std::vector<JumpRecipe::Layer> layers) {
    JumpRecipe r;
    r.id = "golden";
    r.dur = 0.6;
    r.layers = std::move(layers);
    return JumpDrawer{r, QPointF(120, 100), QRectF(0, 0, 200, 200), "L", 2, "WORK PC", 1, false};
}

} // namespace

TEST(Golden, EachLayerTypeAtThreeProgressValues) {
    std::vector<JumpRecipe::Layer> layers;
    for (const char* t : {"ring", "glow", "orbit", "poly", "radar", "cross", "brackets", "beam",
                          "dim", "scan", "spiral", "tag"}) {
        layers.push_back(layer(t));
    }
    JumpRecipe::Layer particles = layer("particles");
    particles.shape = "spark";
    particles.s0 = 8;
    particles.s1 = 2;
    particles.colors = std::vector<std::string>{"accent", "#FFFFFF"};
    JumpRecipe::Layer trail = layer("trail");
    trail.dist = 100;
    trail.style = "dots";
    JumpRecipe::Layer portals = layer("portals");
    portals.dist = 90;
    layers.push_back(particles);
    layers.push_back(trail);
    layers.push_back(portals);
    layers[8].a = 0.6;   // the dimming, dark enough to see
    layers[0].count = 3; // staggered rings
    layers[0].dash = true;
    layers[0].spin = 180;
    for (const JumpRecipe::Layer& l : layers) {
        JumpDrawer d = drawer({l});
        QImage img = strip(200, 200, 3, [&](QPainter& g, int i) { d.draw(g, 0.2 + 0.3 * i); });
        EXPECT_TRUE(test::matchesGolden(img, "layer-" + l.type));
    }
}

TEST(Golden, GhostAndStillMode) {
    JumpDrawer ghost = drawer({});
    ghost.recipe.pointer = JumpRecipe::Pointer{0.5, -40.0, true, true};
    EXPECT_TRUE(test::matchesGolden(
        strip(200, 200, 3, [&](QPainter& g, int i) { ghost.draw(g, 0.4 * i); }), "ghost"));
    JumpDrawer still = drawer({layer("ring")});
    still.recipe.layers[0].color = "#FF9F0A";
    still.still = true;
    const double at[] = {0, 0.125, 0.2};
    EXPECT_TRUE(test::matchesGolden(
        strip(200, 200, 3, [&](QPainter& g, int i) { still.draw(g, at[i]); }), "still"));
}

TEST(Golden, PreviewTiles) {
    std::optional<Jumps::File> f = Jumps::load();
    ASSERT_TRUE(f);
    auto recipe = [&](const std::string& id) { return *Jumps::choose(f, id); };
    JumpRecipe glide = recipe("glide");
    const double at[] = {0.1, 0.3, 0.5, glide.dur + 0.5};
    EXPECT_TRUE(test::matchesGolden(strip(320, 180, 4,
                                          [&](QPainter& g, int i) {
                                              JumpPreview::paint(g, 320, glide, "#30D158", at[i],
                                                                 false);
                                          }),
                                    "preview-glide-320"));
    EXPECT_TRUE(test::matchesGolden(strip(640, 360, 1,
                                          [&](QPainter& g, int) {
                                              JumpPreview::paint(g, 640, recipe("radar"), "#B884FF",
                                                                 0.45, false);
                                          }),
                                    "preview-radar-640"));
}

TEST(Golden, TargetViewModes) {
    const struct {
        const char* name;
        TargetMode mode;
        double progress;
    } cases[] = {
        {"target-tl-0", TargetMode::at(CalCorner::tl), 0},
        {"target-br-half", TargetMode::at(CalCorner::br), 0.5},
        {"target-c-full", TargetMode::at(CalCorner::c), 1},
        {"target-camera", TargetMode::camera(), 0.25},
        {"target-number", TargetMode::number(), 0},
        {"target-dark", TargetMode::dark(), 0},
    };
    for (const auto& c : cases) {
        QImage img = test::canvas(960, 540);
        QPainter g(&img);
        TargetView::paint(g, img.size(), 2, "DELL U2720Q", c.mode, c.progress, 0.3, false);
        g.end();
        EXPECT_TRUE(test::matchesGolden(img, c.name));
    }
}

TEST(Golden, StatusBoxStates) {
    HUDState fine;
    fine.looking = "2";
    fine.keys = "2 · WORK PC";
    fine.mouse = "1 · Mac";
    fine.camera = true;
    HUDState held = fine;
    held.held = true;
    HUDState problem = fine;
    problem.locked = true;
    problem.problem = "Helmvantor can't use the network. Quit other copies of Helmvantor.";
    HUDState paused = fine;
    paused.paused = true;
    paused.camera = false;
    const std::pair<HUDState, std::optional<std::string>> states[] = {
        {fine, std::nullopt},
        {held, std::nullopt},
        {problem, std::nullopt},
        {paused, std::nullopt},
        {fine, "Screen 3 (Office) isn't connected. Pair it again in Settings → Computers, then "
               "try once more."},
    };
    QImage img = test::canvas(280, 5 * 80);
    QPainter g(&img);
    for (const auto& [state, note] : states) {
        PanelView::paint(g, state, note);
        g.translate(0, 80);
    }
    g.end();
    EXPECT_TRUE(test::matchesGolden(img, "status-box"));
}
