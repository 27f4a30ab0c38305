#include "windows/LineLabel.h"

#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPushButton>

#include <cmath>

namespace helm {

QFont uiFont(int px, QFont::Weight weight) {
    QFont f = Fonts::font(px, weight);
    f.setPixelSize(px);
    return f;
}

void makeBorderless(QPushButton* button, const QColor& color) {
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0; color: %1; }"
                                         "QPushButton:disabled { color: %2; }")
                              .arg(color.name(), QColor(gMuted).darker(140).name()));
}

LineLabel::LineLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent)
    : QWidget(parent), text_(text), color_(color) {
    setFont(font);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAccessibleName(text);
}

void LineLabel::setText(const QString& text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    setAccessibleName(text);
    updateGeometry();
    update();
}

void LineLabel::setSymbol(const std::string& name) {
    if (name == symbol_) {
        return;
    }
    symbol_ = name;
    updateGeometry();
    update();
}

void LineLabel::setColor(const QColor& color) {
    if (color == color_) {
        return;
    }
    color_ = color;
    update();
}

double LineLabel::symbolWidth() const {
    // The icon is one em wide, then a gap.
    return symbol_.empty() ? 0 : font().pixelSize() + 5;
}

QSize LineLabel::sizeHint() const {
    QFontMetricsF m(font());
    return {static_cast<int>(std::ceil(symbolWidth() + m.horizontalAdvance(text_))),
            static_cast<int>(std::ceil(m.height()))};
}

QSize LineLabel::minimumSizeHint() const {
    return {static_cast<int>(std::ceil(symbolWidth())), sizeHint().height()};
}

void LineLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    QFontMetricsF m(font());
    const double mid = height() / 2.0;
    if (!symbol_.empty()) {
        const double em = font().pixelSize();
        p.fillPath(Symbols::path(symbol_, em).translated(em / 2, mid), color_);
    }
    const double x = symbolWidth();
    p.setPen(color_);
    p.drawText(QPointF(x, mid - m.height() / 2 + m.ascent()),
               m.elidedText(text_, Qt::ElideRight, width() - x));
}

} // namespace helm
