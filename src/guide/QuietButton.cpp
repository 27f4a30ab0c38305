#include "guide/QuietButton.h"

#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace helm {

namespace {

constexpr double kPad = 16;
constexpr double kSymbol = 14;
constexpr double kGap = 6;

} // namespace

QuietButton::QuietButton(const QString& text, QWidget* parent) : QAbstractButton(parent) {
    setLabel(text);
    setFont(Fonts::font(14, QFont::Normal));
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void QuietButton::setLabel(const QString& text) {
    if (text != this->text()) {
        setText(text);
        setAccessibleName(text);
        updateGeometry();
    }
}

void QuietButton::setSymbol(std::string name) {
    if (name != symbol_) {
        symbol_ = std::move(name);
        updateGeometry();
        update();
    }
}

double QuietButton::symbolWidth() const {
    return symbol_.empty() ? 0 : kSymbol + kGap;
}

QSize QuietButton::sizeHint() const {
    const double w = QFontMetricsF(font()).horizontalAdvance(text()) + symbolWidth() + 2 * kPad;
    return {int(std::ceil(w)), 40};
}

void QuietButton::paintEvent(QPaintEvent*) {
    QPainter g(this);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(gLine, 1));
    g.setBrush(isDown() ? QBrush(gLine) : QBrush(Qt::NoBrush));
    g.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 9, 9);
    const QColor ink = isEnabled() ? gInk : gMuted;
    const double textWidth = QFontMetricsF(font()).horizontalAdvance(text());
    double x = (width() - textWidth - symbolWidth()) / 2;
    if (!symbol_.empty()) {
        g.save();
        g.translate(x + kSymbol / 2, height() / 2.0);
        g.fillPath(Symbols::path(symbol_, kSymbol), ink);
        g.restore();
        x += symbolWidth();
    }
    g.setPen(ink);
    g.setFont(font());
    g.drawText(QRectF(x, 0, textWidth + 1, height()), Qt::AlignVCenter | Qt::AlignLeft, text());
}

} // namespace helm
