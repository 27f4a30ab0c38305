#include "StageSample.h"

#include "ui/Palette.h"
#include "windows/stage/Desk3DView.h"

#include <QDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace helm;

namespace {

QImage grab(Desk3DView& v) {
    return v.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

double fromTarget(const StageCamera& c) {
    return (c.eye() - c.target()).length();
}

void wheel(Desk3DView& v, int delta) {
    QPointF at(100, 100);
    QWheelEvent e(at, v.mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(&v, &e);
}

} // namespace

TEST(Desk3DView, ADragTurnsTheViewButNeverTheStage) {
    test::guiApp();
    DeskModel m = test::sampleDesk();
    Desk3DView v(m);
    v.resize(450, 280);
    EXPECT_EQ(QStringLiteral("3D view of your desk: monitors, keyboard and your head"),
              v.accessibleName());
    QImage before = grab(v);
    QTest::mousePress(&v, Qt::LeftButton, {}, {200, 150});
    QTest::mouseMove(&v, {260, 170});
    QTest::mouseRelease(&v, Qt::LeftButton, {}, {260, 170});
    EXPECT_NE(before, grab(v));
    EXPECT_EQ((V3{0, 60, 150}), v.stage().eye().eye());
    EXPECT_NE(v.stage().eye().eye(), v.view().eye());

    // Tilting far either way keeps the eye above the floor and short of straight overhead.
    for (int dy : {-2000, 2000}) {
        QTest::mousePress(&v, Qt::LeftButton, {}, {200, 140});
        QTest::mouseMove(&v, {200, 140 + dy / 10});
        QTest::mouseMove(&v, {200, 140 + dy});
        QTest::mouseRelease(&v, Qt::LeftButton, {}, {200, 140 + dy});
        StageCamera c = v.view();
        double elevation = std::asin((c.eye().y - c.target().y) / fromTarget(c)) * 180 / M_PI;
        EXPECT_GE(elevation, -1e-9) << dy;
        EXPECT_LE(elevation, 89 + 1e-9) << dy;
        EXPECT_FALSE(grab(v).isNull());
    }
}

TEST(Desk3DView, TheWheelZoomsBetweenItsLimits) {
    test::guiApp();
    DeskModel m = test::sampleDesk();
    Desk3DView v(m);
    v.resize(300, 200);
    wheel(v, 120);
    EXPECT_LT(fromTarget(v.view()), fromTarget(v.stage().eye()));
    // In turn: far in, far out, then three notches in from the far limit.
    struct Case {
        int delta, events;
        double distance;
    } cases[] = {{120, 60, 40}, {-120, 60, 600}, {360, 1, 600 * std::pow(0.9, 3)}};
    for (const Case& c : cases) {
        for (int i = 0; i < c.events; ++i) {
            wheel(v, c.delta);
        }
        EXPECT_NEAR(c.distance, fromTarget(v.view()), 1e-6) << c.delta;
    }
}

TEST(Desk3DView, ANewViewShowsTheStageEyeAndFollowsTheModel) {
    test::guiApp();
    DeskModel m = test::sampleDesk();
    {
        Desk3DView turned(m);
        turned.resize(450, 280);
        QTest::mousePress(&turned, Qt::LeftButton, {}, {10, 10});
        QTest::mouseMove(&turned, {200, 90});
        QTest::mouseRelease(&turned, Qt::LeftButton, {}, {200, 90});
    }
    // Switching away and back makes a new view: it starts at the stage's own view.
    Desk3DView v(m);
    v.resize(450, 280);
    EXPECT_EQ(v.stage().snapshot({450, 280}), grab(v));
    m.looking = m.layout.screens[0].id;
    m.changed();
    EXPECT_EQ(gLive.rgb(), v.stage().slabs()[0].emission.rgb());
    EXPECT_EQ(v.stage().snapshot({450, 280}), grab(v));
}

TEST(Stage, DeskPictureIsStableAndMatchesItsReviewedCopy) {
    test::guiApp();
    Stage s;
    s.update(test::sampleDesk(), std::nullopt);
    QImage a = s.snapshot({900, 560});
    QImage b = s.snapshot({900, 560});
    ASSERT_EQ(QImage::Format_RGB32, a.format());
    EXPECT_EQ(0, std::memcmp(a.constBits(), b.constBits(), a.sizeInBytes()));

    const QString golden = QStringLiteral(HELM_TEST_DATA "/stage/desk-3d.png");
    if (std::getenv("HELM_UPDATE_GOLDEN") != nullptr) {
        a.save(golden);
    }
    QImage want = QImage(golden).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(a.size(), want.size()) << golden.toStdString();
    QImage diff(a.size(), QImage::Format_RGB32);
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            QRgb p = a.pixel(x, y), q = want.pixel(x, y);
            int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
            worst = std::max(worst, d);
            diff.setPixel(x, y, qRgb(std::min(255, d * 32), 0, 0));
        }
    }
    if (worst > 2) {
        QString out = QDir::temp().filePath(QStringLiteral("desk-3d-diff.png"));
        diff.save(out);
        ADD_FAILURE() << "differs by " << worst << "/255; difference in " << out.toStdString();
    }
}
