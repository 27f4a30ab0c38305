#include "app/ScreenWatch.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

namespace helm {

// Each kind of screen change leads to a re-merge, and a burst of them to only one.
TEST(ScreenWatchTest, EveryChangeKindCoalescesIntoOne) {
    int argc = 1;
    char name[] = "t";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QScreen* s = QGuiApplication::primaryScreen();
    ASSERT_NE(s, nullptr);
    const std::vector<std::function<void()>> bursts = {
        [s] { emit s->geometryChanged(QRect(0, 0, 800, 600)); },
        [s] { emit s->orientationChanged(Qt::PortraitOrientation); },
        [s] { emit s->physicalSizeChanged(QSizeF(300, 200)); },
        [s] {
            emit s->geometryChanged(QRect(0, 0, 10, 10));
            emit s->physicalSizeChanged(QSizeF(1, 1));
            emit s->orientationChanged(Qt::LandscapeOrientation);
        },
    };
    for (std::size_t i = 0; i < bursts.size(); ++i) {
        int calls = 0;
        ScreenWatch watch([&calls] { ++calls; });
        bursts[i]();
        QCoreApplication::processEvents();
        EXPECT_EQ(calls, 1) << "burst " << i;
    }
}

} // namespace helm
