// The calibration target repaints only its dot, and what it repaints leaves the screen as a
// whole new frame would.
#include "Canvas.h"

#include "gaze/feed/HoldProgress.h"
#include "overlays/draw/TargetView.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QPainter>

using namespace helm;

namespace {

struct Regions : QObject {
    QRegion painted;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(e)->region();
        }
        return false;
    }
};

} // namespace

TEST(TargetView, RepaintsOnlyTheDotAndLeavesAWholeFrame) {
    const QSize screen(960, 540);
    const struct {
        const char* name;
        TargetMode mode;
        bool still;      // reduced motion
        double from, to; // the hold progress before and after the step
        double dt;       // the step's time
        bool repaints;
    } steps[] = {
        {"next frame", TargetMode::at(CalCorner::tl), false, 0.3, 0.3, 0.016, true},
        {"late tick, camera", TargetMode::camera(), false, 0, 0, 0.4, true},
        {"drifted across", TargetMode::at(CalCorner::c), false, 0.3, 0.3, 1.96, true},
        {"ring moving", TargetMode::at(CalCorner::br), false, 0.2, 0.9, 0.05, true},
        {"held, ring full", TargetMode::at(CalCorner::c), false, 0.95, 1, 0.2, true},
        {"still, nothing moves", TargetMode::at(CalCorner::mr), true, 0.5, 0.5, 0.1, false},
        {"still, ring moving", TargetMode::at(CalCorner::mr), true, 0.5, 0.7, 0.05, true},
    };
    for (const auto& s : steps) {
        test::needApplication();
        HoldProgress progress;
        progress.setValue(s.from);
        double now = 3;
        // A see-through window, as the overlay panel is: repainted parts are cleared first.
        QWidget panel;
        panel.setAttribute(Qt::WA_TranslucentBackground);
        panel.resize(screen);
        auto* view = new TargetView(
            2, "DELL U2720Q", s.mode, progress, [&] { return s.still; }, &panel,
            [&] { return now; });
        view->resize(screen);
        panel.show();
        QCoreApplication::processEvents();
        QImage shown = test::canvas(screen.width(), screen.height());
        {
            QPainter g(&shown);
            TargetView::paint(g, screen, 2, "DELL U2720Q", s.mode, view->shown(now), now, s.still);
        }
        Regions regions;
        view->installEventFilter(&regions);
        progress.setValue(s.to);
        now += s.dt;
        view->tick();
        QCoreApplication::processEvents();
        EXPECT_EQ(s.repaints, !regions.painted.isEmpty()) << s.name;
        const QRect box = regions.painted.boundingRect();
        EXPECT_LT(box.width() * box.height(), screen.width() * screen.height() / 25) << s.name;
        // What the screen holds after the step, repainted as the panel's backing store is.
        {
            QPainter g(&shown);
            g.setClipRegion(regions.painted);
            g.setCompositionMode(QPainter::CompositionMode_Source);
            g.fillRect(box, Qt::transparent);
            g.setCompositionMode(QPainter::CompositionMode_SourceOver);
            TargetView::paint(g, screen, 2, "DELL U2720Q", s.mode, view->shown(now), now, s.still,
                              box, true);
        }
        QImage whole = test::canvas(screen.width(), screen.height());
        {
            QPainter g(&whole);
            TargetView::paint(g, screen, 2, "DELL U2720Q", s.mode, view->shown(now), now, s.still);
        }
        EXPECT_LE(test::maxDifference(shown, whole), 2) << s.name;
    }
}
