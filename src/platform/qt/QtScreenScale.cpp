#include "platform/qt/QtScreenScale.h"

#include <QGuiApplication>
#include <QScreen>

namespace helm {

ScreenScale qtScreenScale() {
    std::vector<ScaledScreen> list;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return ScreenScale(); // no toolkit, no screens: one to one
    }
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect g = s->geometry();
        list.push_back({double(g.x()), double(g.y()), double(g.width()), double(g.height()),
                        double(g.x()), double(g.y()), s->devicePixelRatio()});
    }
    return ScreenScale(std::move(list));
}

} // namespace helm
