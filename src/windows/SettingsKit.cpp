#include "windows/SettingsKit.h"

#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/StatusSymbols.h"
#include "ui/Symbols.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSizePolicy>

#include <utility>

namespace helm::SettingsKit {

QLabel* text(const std::string& s, double px, const QColor& color, QFont::Weight weight,
             bool wrap) {
    auto* l = new QLabel(QString::fromStdString(s));
    l->setFont(Fonts::font(px, weight));
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, color);
    l->setPalette(p);
    l->setTextFormat(Qt::PlainText);
    if (wrap) {
        l->setWordWrap(true);
        QSizePolicy sp(QSizePolicy::Preferred, QSizePolicy::Minimum);
        sp.setHeightForWidth(true);
        l->setSizePolicy(sp);
    }
    return l;
}

QPushButton* button(const std::string& s, std::function<void()> fn) {
    auto* b = new QPushButton(QString::fromStdString(s));
    b->setFont(Fonts::font(13, QFont::Normal));
    QObject::connect(b, &QPushButton::clicked, b, [fn = std::move(fn)] { fn(); });
    return b;
}

} // namespace helm::SettingsKit

namespace helm {

SymbolIcon::SymbolIcon(std::string name, double px, QColor color, int boxWidth, QWidget* parent)
    : QWidget(parent), name_(std::move(name)), px_(px), color_(std::move(color)) {
    setFixedSize(boxWidth, static_cast<int>(px * 1.4));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SymbolIcon::set(const std::string& name, const QColor& color) {
    if (name == name_ && color == color_) {
        return;
    }
    name_ = name;
    color_ = color;
    update();
}

void SymbolIcon::paintEvent(QPaintEvent*) {
    QPainterPath path = Symbols::path(name_, px_);
    if (path.isEmpty()) {
        path = StatusSymbols::path(name_, px_);
    }
    QPainter g(this);
    g.setRenderHint(QPainter::Antialiasing);
    g.translate(width() / 2.0, height() / 2.0);
    g.fillPath(path, color_);
}

SettingsSwitch::SettingsSwitch(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SettingsSwitch::paintEvent(QPaintEvent*) {
    QPainter g(this);
    g.setRenderHint(QPainter::Antialiasing);
    QRectF track = QRectF(rect()).adjusted(1, 1, -1, -1);
    double r = track.height() / 2;
    g.setPen(Qt::NoPen);
    g.setBrush(isChecked() ? gLive : gLine);
    g.drawRoundedRect(track, r, r);
    double d = track.height() - 4;
    double x = isChecked() ? track.right() - 2 - d : track.left() + 2;
    g.setBrush(isEnabled() ? gInk : gMuted);
    g.drawEllipse(QRectF(x, track.top() + 2, d, d));
    if (hasFocus()) {
        g.setBrush(Qt::NoBrush);
        g.setPen(QPen(gMuted, 1));
        g.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), r + 1, r + 1);
    }
}

} // namespace helm
