#include "app/menu/TrayStatusItem.h"

#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/StatusSymbols.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPathStroker>
#include <QPalette>

namespace helm {

namespace {

const char* symbolName(StatusItem::Symbol s) {
    switch (s) {
    case StatusItem::Symbol::warning:
        return "exclamationmark.triangle.fill";
    case StatusItem::Symbol::lock:
        return "lock.fill";
    case StatusItem::Symbol::pause:
        return "pause.circle";
    case StatusItem::Symbol::eye:
        break;
    }
    return "eye";
}

QColor tintColor(StatusItem::Tint t, const QColor& ink) {
    switch (t) {
    case StatusItem::Tint::warn:
        return gWarn;
    case StatusItem::Tint::live:
        return gLive;
    case StatusItem::Tint::none:
        break;
    }
    return ink;
}

} // namespace

TrayStatusItem::TrayStatusItem() = default;

void TrayStatusItem::setMenu(QMenu* menu) {
    tray_.setContextMenu(menu);
}

bool TrayStatusItem::menuTakesWidgets() const {
    // Trays that speak StatusNotifierItem draw the menu themselves from its items over D-Bus;
    // only the old embedded tray pops up our own QMenu with its widgets.
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    return bus == nullptr || !bus->isServiceRegistered("org.kde.StatusNotifierWatcher").value();
}

QImage TrayStatusItem::icon(const Look& look, const QColor& ink, int px) {
    QImage image(px, px, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    QColor colour = tintColor(look.tint, ink);
    p.setBrush(colour);
    // The symbol fills the upper left, the number sits over the lower right corner.
    double s = px * 0.68;
    p.drawPath(StatusSymbols::path(symbolName(look.symbol), s).translated(s / 2, s / 2));
    QString number = QString::fromStdString(look.title).trimmed();
    if (!number.isEmpty()) {
        QFont f = Fonts::font(px * 0.55, QFont::Bold, &image);
        QPainterPath text;
        text.addText(0, 0, f, number);
        QRectF box = text.boundingRect();
        text.translate(px - box.right(), px - box.bottom());
        // A ring in the background's absence keeps the digits apart from the symbol.
        QPainterPathStroker ring;
        ring.setWidth(px * 0.12);
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.drawPath(ring.createStroke(text).united(text));
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        p.drawPath(text);
    }
    return image;
}

QString TrayStatusItem::tooltip(const Look& look) {
    QString first = QString::fromStdString(look.description);
    QString second = QString::fromStdString(look.tooltip);
    return first == second ? first : first + "\n" + second;
}

void TrayStatusItem::draw(const Look& look, const std::optional<Look>& before) {
    // Setting the icon makes some trays flicker: only when it looks different.
    if (!before || before->symbol != look.symbol || before->tint != look.tint ||
        before->title != look.title) {
        QColor ink = QGuiApplication::palette().color(QPalette::WindowText);
        QIcon set;
        for (int px : {16, 22, 32, 44, 64}) {
            set.addPixmap(QPixmap::fromImage(icon(look, ink, px)));
        }
        tray_.setIcon(set);
        ++iconsSet_;
    }
    tray_.show(); // after the first icon: a tray item without one is refused
    QString tip = tooltip(look);
    if (tray_.toolTip() != tip) {
        tray_.setToolTip(tip);
    }
}

} // namespace helm
