// The previews keep each frame of their loop once drawn and repaint only what a frame changes:
// what the screen holds must still be the frame drawn afresh.
#include "Canvas.h"
#include "overlays/draw/JumpPreview.h"
#include "overlays/draw/JumpsLoad.h"
#include "overlays/draw/LoopFrames.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <optional>

using namespace helm;

namespace {

// Runs the events for a few of the previews' frames.
void frames() {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 60) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

} // namespace

// After every step the window's backing store holds the frame drawn afresh over the ground:
// not a frame kept for another size or motion setting, nor pieces of two frames; and the
// frames kept never pass the budget.
TEST(JumpPreview, TheScreenHoldsTheFrameDrawnAfresh) {
    test::needApplication();
    std::optional<Jumps::File> f = Jumps::load();
    ASSERT_TRUE(f);
    // Plays 0.6 s, loops every 1.5 s; the pointer comes from the left.
    const JumpRecipe glide = *Jumps::choose(f, "glide");
    const QColor ground(14, 18, 23);
    enum class Then { nothing, reduceMotion, resize };
    const struct {
        const char* what;
        std::size_t budget;
        std::vector<double> times; // on the screen's 60 frames a second
        Then then;                 // before the last time is shown again
    } cases[] = {
        {"kept frames shown again in the next loop",
         LoopFrames::budget(),
         {0.05, 0.5, 1.55, 2.0, 1.55, 2.4},
         Then::nothing},
        {"reduce motion switched on", LoopFrames::budget(), {0.05, 0.1}, Then::reduceMotion},
        {"resized", LoopFrames::budget(), {0.05, 0.1}, Then::resize},
        {"budget for one frame", 120 << 10, {0.05, 0.1, 0.3, 0.5, 1.55, 2.0}, Then::nothing},
        {"no budget", 0, {0.05, 0.5, 1.55}, Then::nothing},
    };
    const std::size_t budget = LoopFrames::budget();
    for (const auto& c : cases) {
        LoopFrames::setBudget(c.budget);
        double now = 0;
        bool still = false;
        QWidget window;
        auto* v = new JumpPreview(
            glide, "#30D158", [&] { return still; }, &window, [&] { return now; });
        v->setGround(ground);
        window.resize(320, 180);
        v->resize(320, 180);
        now = c.times.front();
        window.show();
        auto check = [&](double t, const std::string& when) {
            now = t;
            frames();
            EXPECT_LE(LoopFrames::held(), c.budget) << c.what << when;
            const QImage got = window.screen()
                                   ->grabWindow(window.winId())
                                   .toImage()
                                   .copy(v->geometry())
                                   .convertToFormat(QImage::Format_RGB32);
            QImage want(v->size(), QImage::Format_RGB32);
            want.fill(ground);
            QPainter g(&want);
            JumpPreview::paint(g, v->width(), glide, "#30D158", t, still);
            g.end();
            EXPECT_EQ(got.size(), want.size()) << c.what << when;
            EXPECT_LE(test::maxDifference(got, want), 2) << c.what << when;
        };
        for (double t : c.times) {
            check(t, " at " + std::to_string(t));
        }
        if (c.then == Then::reduceMotion) {
            still = true;
        } else if (c.then == Then::resize) {
            window.resize(240, 135);
            v->resize(240, 135);
        }
        if (c.then != Then::nothing) {
            check(c.times.back(), " after the change");
        }
    }
    LoopFrames::setBudget(budget);
}
