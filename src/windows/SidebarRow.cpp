#include "windows/SidebarRow.h"

#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/StatusSymbols.h"
#include "ui/Symbols.h"

#include <QPainter>
#include <QPainterPath>

namespace helm {

SidebarRow::SidebarRow(std::string id, const QString& title, std::string symbol, QWidget* parent)
    : QAbstractButton(parent), id_(std::move(id)), symbol_(std::move(symbol)) {
    setText(title);
    setAccessibleName(title);
    setFixedHeight(32);
    setCursor(Qt::PointingHandCursor);
}

void SidebarRow::setSelected(bool selected) {
    if (selected != selected_) {
        selected_ = selected;
        setAccessibleDescription(selected ? "selected" : "");
        update();
    }
}

void SidebarRow::paintEvent(QPaintEvent*) {
    QPainter g(this);
    g.setRenderHint(QPainter::Antialiasing);
    if (selected_) {
        QPainterPath bg;
        bg.addRoundedRect(QRectF(rect()), 7, 7);
        g.fillPath(bg, gLine);
    }
    QColor ink = selected_ ? gInk : gMuted;
    QPainterPath icon = Symbols::path(symbol_, 14);
    if (icon.isEmpty()) {
        icon = StatusSymbols::path(symbol_, 14);
    }
    g.save();
    g.translate(10 + 11, height() / 2.0);
    g.fillPath(icon, ink);
    g.restore();
    g.setFont(Fonts::font(13, QFont::Normal, this));
    g.setPen(ink);
    g.drawText(QRect(10 + 22 + 10, 0, width() - 52, height()), Qt::AlignLeft | Qt::AlignVCenter,
               text());
}

} // namespace helm
