#include "app/menu/QuickButton.h"

#include "ui/Fonts.h"
#include "ui/StatusSymbols.h"

#include <QPainter>

namespace helm {

QuickButton::QuickButton(std::string icon, const QString& title, std::function<void()> action,
                         QWidget* parent)
    : QAbstractButton(parent), action_(std::move(action)) {
    set(std::move(icon), title);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (action_) {
            action_();
        }
    });
}

void QuickButton::set(std::string icon, const QString& title) {
    icon_ = std::move(icon);
    setText(title);
    setToolTip(title);
    update();
}

QSize QuickButton::sizeHint() const {
    return {66, 46};
}

void QuickButton::enterEvent(QEnterEvent* e) {
    hover_ = true;
    update();
    QAbstractButton::enterEvent(e);
}

void QuickButton::leaveEvent(QEvent* e) {
    hover_ = false;
    update();
    QAbstractButton::leaveEvent(e);
}

void QuickButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor primary = palette().color(QPalette::WindowText);
    QColor plate = primary;
    plate.setAlphaF(hover_ ? 0.14f : 0.07f);
    p.setPen(Qt::NoPen);
    p.setBrush(plate);
    p.drawRoundedRect(QRectF(rect()), 8, 8);
    p.setOpacity(isDown() ? 0.6 : 1.0);
    p.setBrush(primary);
    // The icon in an 18-pixel band, the title under it.
    QPainterPath glyph = StatusSymbols::path(icon_, 15);
    p.drawPath(glyph.translated(width() / 2.0, 7 + 9));
    p.setPen(primary);
    p.setFont(Fonts::font(11, QFont::Medium, this));
    p.drawText(QRectF(2, 27, width() - 4, 15), Qt::AlignCenter, text());
}

} // namespace helm
