#include "app/ScreenWatch.h"

#include <QGuiApplication>
#include <QScreen>

#include <utility>

namespace helm {

ScreenWatch::ScreenWatch(std::function<void()> onChange) : onChange_(std::move(onChange)) {
    settle_.setSingleShot(true);
    settle_.setInterval(0);
    connect(&settle_, &QTimer::timeout, this, [this] {
        if (onChange_) {
            onChange_();
        }
    });
    for (QScreen* s : QGuiApplication::screens()) {
        watch(s);
    }
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen* s) {
        watch(s);
        changed();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, [this] { changed(); });
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, [this] { changed(); });
}

void ScreenWatch::watch(QScreen* screen) {
    // Connections go with the screen when it is removed.
    connect(screen, &QScreen::geometryChanged, this, [this] { changed(); });
    connect(screen, &QScreen::orientationChanged, this, [this] { changed(); });
    connect(screen, &QScreen::physicalSizeChanged, this, [this] { changed(); });
}

void ScreenWatch::changed() {
    if (!settle_.isActive()) {
        settle_.start();
    }
}

} // namespace helm
