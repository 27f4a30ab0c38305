#include "app/render/Snap.h"

#include <QCoreApplication>
#include <QEvent>
#include <QVBoxLayout>
#include <QWidget>

namespace helm {

void settle() {
    // Handling one event may post another (a layout request after a resize); a bounded number
    // of rounds keeps a view that posts forever from hanging the run.
    for (int round = 0; round < 20; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

QImage snap(QWidget& view, QSize size, std::optional<QColor> background) {
    if (size.isEmpty()) {
        return {};
    }
    QWidget host;
    host.setAttribute(Qt::WA_DontShowOnScreen);
    host.setWindowFlags(Qt::FramelessWindowHint);
    host.setAutoFillBackground(true);
    if (background) {
        QPalette p = host.palette();
        p.setColor(QPalette::Window, *background);
        host.setPalette(p);
        auto* column = new QVBoxLayout(&host);
        column->setContentsMargins(0, 0, 0, 0);
        column->addWidget(&view, 0, Qt::AlignLeft | Qt::AlignTop);
    } else {
        view.setParent(&host);
        view.setGeometry(0, 0, size.width(), size.height());
    }
    host.resize(size);
    // Shown without reaching a screen, so the layouts activate and every child gets its size.
    host.show();
    settle();
    if (host.size() != size) {
        host.resize(size);
        settle();
    }
    if (!background && view.size() != size) {
        view.setGeometry(0, 0, size.width(), size.height());
        settle();
    }
    QImage img(size, QImage::Format_RGB32);
    img.setDevicePixelRatio(1);
    img.fill(host.palette().color(QPalette::Window));
    host.render(&img);
    host.hide();
    // The view belongs to the caller: take it back before the host goes.
    view.setParent(nullptr);
    return img;
}

} // namespace helm
