#include "guide/PrimaryButton.h"

#include "ui/Fonts.h"
#include "ui/Palette.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace helm {

PrimaryButton::PrimaryButton(const QString& text, QWidget* parent) : QAbstractButton(parent) {
    setText(text);
    setAccessibleName(text);
    setFont(Fonts::font(14, QFont::DemiBold));
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PrimaryButton::setLooksEnabled(bool on) {
    if (on != enabled_) {
        enabled_ = on;
        update();
    }
}

QSize PrimaryButton::sizeHint() const {
    const double w = QFontMetricsF(font()).horizontalAdvance(text()) + 2 * 20;
    return {int(std::ceil(w)), 40};
}

void PrimaryButton::paintEvent(QPaintEvent*) {
    QPainter g(this);
    g.setRenderHint(QPainter::Antialiasing);
    QColor fill = enabled_ ? gLive : gLine;
    if (enabled_ && isDown()) {
        fill.setAlphaF(0.8f);
    }
    g.setPen(Qt::NoPen);
    g.setBrush(fill);
    g.drawRoundedRect(QRectF(rect()), 9, 9);
    g.setPen(enabled_ ? gGround : gMuted);
    g.setFont(font());
    g.drawText(rect(), Qt::AlignCenter, text());
}

} // namespace helm
