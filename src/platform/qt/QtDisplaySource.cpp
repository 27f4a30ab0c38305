#include "platform/qt/QtDisplaySource.h"

#include "platform/Edid.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace helm {

std::vector<DisplayInfo> QtDisplaySource::displays() {
    QList<QScreen*> screens = QGuiApplication::screens();
    QScreen* primary = QGuiApplication::primaryScreen();
    std::stable_sort(screens.begin(), screens.end(), [primary](QScreen* a, QScreen* b) {
        if ((a == primary) != (b == primary)) {
            return a == primary;
        }
        const QRect ga = a->geometry();
        const QRect gb = b->geometry();
        return ga.x() != gb.x() ? ga.x() < gb.x() : ga.y() < gb.y();
    });
    std::vector<DisplayInfo> out;
    if (screens.isEmpty()) {
        return out;
    }
    const QPoint origin = screens.front()->geometry().topLeft();
    for (QScreen* s : screens) {
        const QRect g = s->geometry();
        DisplayInfo d;
        d.key = Edid::unknownKey;
        d.name = s->name().toStdString();
        d.index = int(out.size());
        d.x = g.x() - origin.x();
        d.y = g.y() - origin.y();
        // Device pixels, like the X server's list: Qt keeps a screen's corner in device pixels
        // and divides only its size by the screen's ratio.
        d.w = std::round(g.width() * s->devicePixelRatio());
        d.h = std::round(g.height() * s->devicePixelRatio());
        d.mmW = s->physicalSize().width();
        d.mmH = s->physicalSize().height();
        d.primary = out.empty();
        out.push_back(std::move(d));
    }
    return out;
}

} // namespace helm
