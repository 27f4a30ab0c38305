#include "overlays/panels/StatusPanel.h"

#include "overlays/draw/PanelView.h"
#include "platform/DesktopWindows.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainterPath>
#include <QRegion>
#include <QScreen>

namespace helm {

namespace {

constexpr int boxW = 280;
constexpr int boxH = 74;

} // namespace

QRect StatusPanel::place(const QRect& available, const QRect& screen) {
    const QRect a = available.isEmpty() ? screen : available;
    // x + width, not right(): QRect's right edge is one pixel inside.
    return QRect(a.x() + a.width() - 300, a.y() + a.height() - 94, boxW, boxH);
}

StatusPanel::StatusPanel(HUDModel& model, DesktopWindows* windows,
                         std::function<void(QPoint)> onClick)
    : OverlayPanel(Level::floating, static_cast<bool>(onClick)), onClick_(std::move(onClick)) {
    QRect frame(0, 0, boxW, boxH);
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        frame = place(primary->availableGeometry(), primary->geometry());
    }
    setGeometry(frame);
    setContent(new PanelView(model));
    if (windows != nullptr) {
        // Hints read at the first map: the native window is made here, before any show.
        windows->keepOnEveryDesktop(static_cast<unsigned long>(winId()));
        if (!windows->compositing()) {
            // No blending: the rounded corners would show black squares.
            QPainterPath box;
            box.addRoundedRect(QRectF(0, 0, boxW, boxH), 14, 14);
            setMask(QRegion(box.toFillPolygon().toPolygon()));
        }
    }
}

void StatusPanel::mousePressEvent(QMouseEvent* event) {
    if (onClick_) {
        onClick_(event->globalPosition().toPoint());
    }
}

} // namespace helm
