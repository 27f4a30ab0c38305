#include "app/menu/TrayStatusItem.h"

#include "app/menu/NotifierItem.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/StatusSymbols.h"

#include <QCursor>
#include <QDBusConnection>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <chrono>

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

QColor tintColor(StatusItem::Tint t) {
    switch (t) {
    case StatusItem::Tint::warn:
        return gWarn;
    case StatusItem::Tint::live:
        return gLive;
    case StatusItem::Tint::none:
        break;
    }
    return gInk;
}

// How often an embedding tray is looked for.
constexpr std::chrono::seconds trayLook{2};

} // namespace

TrayStatusItem::TrayStatusItem(std::function<void(const std::string&)> log, TrayWatcher watcher)
    : qtNotifier_(watcher == TrayWatcher::shows) {
    if (watcher != TrayWatcher::silent) {
        tray_ = std::make_unique<QSystemTrayIcon>();
        // The tray opens the menu on a right click; a left click, the usual one, opens it too.
        QObject::connect(tray_.get(), &QSystemTrayIcon::activated, tray_.get(),
                         [this](QSystemTrayIcon::ActivationReason why) {
                             if (why == QSystemTrayIcon::Trigger) {
                                 popup(QCursor::pos());
                             }
                         });
    }
    if (!qtNotifier_) {
        notifier_ = std::make_unique<NotifierItem>(QDBusConnection::sessionBus(), std::move(log));
        notifier_->onMenu = [this](QPoint at) { popup(at); };
        notifier_->onChange = [this] { follow(); };
        poll_.setInterval(trayLook);
        QObject::connect(&poll_, &QTimer::timeout, &poll_, [this] { follow(); });
        poll_.start();
    }
    inTray_ = inTray();
}

TrayStatusItem::~TrayStatusItem() = default;

void TrayStatusItem::setMenu(QMenu* menu) {
    menu_ = menu;
    if (tray_) {
        tray_->setContextMenu(menu);
    }
}

void TrayStatusItem::popup(QPoint at) {
    if (menu_ != nullptr) {
        menu_->popup(at);
    }
}

bool TrayStatusItem::inTray() const {
    return (notifier_ && notifier_->inTray()) ||
           (tray_ && QSystemTrayIcon::isSystemTrayAvailable());
}

bool TrayStatusItem::menuTakesWidgets() const {
    // Qt's StatusNotifierItem icons hand the menu's items to the tray, which draws them from
    // their texts; the embedding tray and our own item open our QMenu with its widgets.
    return !qtNotifier_;
}

void TrayStatusItem::follow() {
    // One icon per desktop: while our item is registered Qt's embedded one stays away (a
    // desktop may run both kinds of tray, one handing the other's icons on).
    if (notifier_ && tray_ && shown()) {
        const bool ours = notifier_->inTray();
        if (ours && tray_->isVisible()) {
            tray_->hide();
        } else if (!ours && !tray_->isVisible()) {
            tray_->show();
        }
    }
    if (const bool now = inTray(); now != inTray_) {
        inTray_ = now;
        onTrayChange();
    }
}

namespace {

// The symbol's shape at this size, from which every size of the icon is scaled: making it joins
// paths, which is slow.
constexpr double symbolSize = 100;

QPainterPath symbolShape(StatusItem::Symbol s) {
    return StatusSymbols::path(symbolName(s), symbolSize);
}

} // namespace

QImage TrayStatusItem::icon(const Look& look, int px) {
    return icon(look, px, symbolShape(look.symbol));
}

QImage TrayStatusItem::icon(const Look& look, int px, const QPainterPath& shape) {
    QImage image(px, px, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Trays give no reliable colour of their own: a light fill inside a dark outline reads on
    // light and dark panels alike. Everything stays the outline's width inside the edges.
    const double rim = std::max(1.0, px / 14.0);
    const double inset = rim + 1; // and a pixel for the smoothing
    QColor dark = gGround;
    dark.setAlphaF(0.9f);
    // Bevelled: the curves come as many short lines, whose round joins take long to stroke and
    // look no different at a few pixels' width.
    const QPen outline(dark, 2 * rim, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin);
    const QColor fill = tintColor(look.tint);
    // The opaque fill covers the inner half of the outline's band: no need to join the two
    // (joining paths takes tens of milliseconds for a number's outline).
    auto draw = [&](const QPainterPath& shape) {
        p.strokePath(shape, outline);
        p.fillPath(shape, fill);
    };
    // The symbol fills the upper left, the number sits over the lower right corner; the
    // number's outline parts it from the symbol.
    const double s = (px - 2 * inset) * 0.8;
    QPainterPath symbol = QTransform::fromScale(s / symbolSize, s / symbolSize).map(shape);
    // Some symbols are wider than their size: fit the drawn shape into the upper left.
    const QRectF drawn = symbol.boundingRect();
    const double k = std::min(1.0, s / std::max(drawn.width(), drawn.height()));
    symbol = QTransform::fromScale(k, k).map(symbol);
    draw(symbol.translated(inset - symbol.boundingRect().left(),
                           inset - symbol.boundingRect().top()));
    QString number = QString::fromStdString(look.title).trimmed();
    if (!number.isEmpty()) {
        QFont f = Fonts::font(px * 0.55, QFont::Bold, &image);
        QPainterPath text;
        text.addText(0, 0, f, number);
        // Wide numbers ("10", "?") shrink rather than run off the edge.
        QRectF box = text.boundingRect();
        const double room = px - 2 * inset;
        if (box.width() > room * 0.8) {
            text =
                QTransform::fromScale(room * 0.8 / box.width(), room * 0.8 / box.width()).map(text);
            box = text.boundingRect();
        }
        draw(text.translated(px - inset - box.right(), px - inset - box.bottom()));
    }
    return image;
}

QString TrayStatusItem::tooltip(const Look& look) {
    QString first = QString::fromStdString(look.description);
    QString second = QString::fromStdString(look.tooltip);
    return first == second ? first : first + "\n" + second;
}

const TrayStatusItem::Pictures& TrayStatusItem::pictures(const Look& look) {
    auto key = std::make_tuple(look.symbol, look.tint, look.title);
    if (auto it = pictures_.find(key); it != pictures_.end()) {
        return it->second;
    }
    // A few symbols, tints and screen numbers: the bound is never met on a real desk.
    if (pictures_.size() >= 64) {
        pictures_.clear();
    }
    Pictures p;
    const QPainterPath shape = symbolShape(look.symbol);
    for (int px : {16, 22, 32, 44, 64}) {
        p.sizes.append(icon(look, px, shape));
        p.icon.addPixmap(QPixmap::fromImage(p.sizes.back()));
    }
    return pictures_.emplace(std::move(key), std::move(p)).first->second;
}

void TrayStatusItem::draw(const Look& look, const std::optional<Look>& before) {
    // Setting the icon makes some trays flicker: only when it looks different.
    if (!before || before->symbol != look.symbol || before->tint != look.tint ||
        before->title != look.title) {
        const Pictures& p = pictures(look);
        if (tray_) {
            tray_->setIcon(p.icon);
        }
        if (notifier_) {
            notifier_->setIcon(p.sizes);
        }
        ++iconsSet_;
    }
    if (tray_) {
        // After the first icon: a tray item without one is refused.
        if (!notifier_ || !notifier_->inTray()) {
            tray_->show();
        }
        const QString tip = tooltip(look);
        if (tray_->toolTip() != tip) {
            tray_->setToolTip(tip);
        }
    }
    if (notifier_) {
        const QString second = QString::fromStdString(look.tooltip);
        const QString first = QString::fromStdString(look.description);
        notifier_->setToolTip(first, first == second ? QString() : second);
    }
}

} // namespace helm
