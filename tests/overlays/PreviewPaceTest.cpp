#include "Canvas.h"
#include "overlays/draw/JumpPreview.h"
#include "overlays/draw/JumpsLoad.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <optional>

using namespace helm;

namespace {

// Runs the events until the preview's frames run or not as wanted, for 2 s at most (a busy
// machine maps windows slowly); answers whether they came to that.
bool comesTo(const JumpPreview& v, bool playing) {
    QElapsedTimer t;
    t.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    } while (v.playing() != playing && t.elapsed() < 2000);
    return v.playing() == playing;
}

} // namespace

// The previews' frames stop while nothing moves or nothing can be seen, and start again when
// the next play is due or the window shows again: a timer left running woke the program 60
// times a second for pictures that never changed or that nobody saw.
TEST(JumpPreview, FramesSleepWhileNothingMovesOrShows) {
    test::needApplication();
    std::optional<Jumps::File> f = Jumps::load();
    ASSERT_TRUE(f);
    const JumpRecipe glide = *Jumps::choose(f, "glide"); // plays 0.6 s, rests 0.9 s
    struct Case {
        const char* what;
        double at;    // the clock's time when shown
        bool hide;    // the window minimised after showing
        bool playing; // frames running after a while
        double later; // the clock's time then, and frames running after that
        bool playingLater;
    } cases[] = {
        {"playing", 0.3, false, true, 0.4, true},
        {"resting", 1.0, false, false, 1.6, true},
        {"minimised while playing", 0.3, true, false, 0.4, false},
    };
    for (const Case& c : cases) {
        double now = c.at;
        QWidget window;
        auto* box = new QVBoxLayout(&window);
        auto* v = new JumpPreview(
            glide, "#30D158", [] { return false; }, &window, [&] { return now; });
        box->addWidget(v);
        window.resize(320, 180);
        window.show();
        if (c.hide) {
            window.showMinimized();
        }
        EXPECT_TRUE(comesTo(*v, c.playing)) << c.what;
        now = c.later; // the next play is due 0.5 s after a rest starting at 1.0
        EXPECT_TRUE(comesTo(*v, c.playingLater)) << c.what << " later";
        if (c.hide) {
            window.showNormal();
            EXPECT_TRUE(comesTo(*v, true)) << c.what << " shown again";
        }
    }
}
