#include "guide/GuideBlocks.h"

#include "ui/Fonts.h"
#include "windows/SettingsKit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace helm {

namespace GuideBlocks {

QLabel* text(const std::string& s, double px, const QColor& color, QFont::Weight weight,
             bool wrap) {
    QLabel* l = SettingsKit::text(s, px, color, weight, wrap);
    l->setAccessibleName(QString::fromStdString(s));
    return l;
}

void setText(QLabel* label, const std::string& s) {
    const QString t = QString::fromStdString(s);
    if (label->text() != t) {
        label->setText(t);
        label->setAccessibleName(t);
    }
}

void fitHeight(QLabel* label, int width) {
    label->setMinimumHeight(std::max(0, label->heightForWidth(width)));
}

namespace {

// The number in a 24 px green ring.
class Badge : public QWidget {
public:
    explicit Badge(int n) : n_(n) { setFixedSize(24, 24); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter g(this);
        g.setRenderHint(QPainter::Antialiasing);
        QColor ring = gLive;
        ring.setAlphaF(0.6f);
        g.setPen(QPen(ring, 1));
        g.drawEllipse(QRectF(0.5, 0.5, 23, 23));
        g.setPen(gLive);
        g.setFont(Fonts::font(12, QFont::Bold, this));
        g.drawText(rect(), Qt::AlignCenter, QString::number(n_));
    }

private:
    int n_;
};

} // namespace

QWidget* numbered(int n, const std::string& s) {
    auto* row = new QWidget();
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(12);
    h->addWidget(new Badge(n), 0, Qt::AlignTop);
    h->addWidget(text(s, 15, gInk, QFont::Normal, true), 1);
    row->setAccessibleName(QString::fromStdString(s));
    return row;
}

QWidget* line(const std::string& symbol, const std::string& heading, const std::string& s,
              const QColor& tint) {
    auto* row = new QWidget();
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(14);
    auto* icon = new SymbolIcon(symbol, 18, tint, 26);
    icon->setFixedHeight(22);
    h->addWidget(icon, 0, Qt::AlignTop);
    auto* words = new QVBoxLayout();
    words->setSpacing(3);
    words->addWidget(text(heading, 15, gInk, QFont::DemiBold, true));
    words->addWidget(text(s, 13, gMuted, QFont::Normal, true));
    h->addLayout(words, 1);
    row->setAccessibleName(QString::fromStdString(heading + " " + s));
    return row;
}

} // namespace GuideBlocks

TitleBlock::TitleBlock(const std::string& heading, const std::string& subtitle, QWidget* parent)
    : QWidget(parent) {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(10);
    heading_ = GuideBlocks::text(heading, 30, gInk, QFont::DemiBold, true);
    subtitle_ = GuideBlocks::text(subtitle, 15, gMuted, QFont::Normal, true);
    v->addWidget(heading_);
    // At most 640 px wide. A label whose own width is capped reports its height for the
    // width offered, and wraps into fewer lines than it then draws; a fixed column does not.
    auto* column = new QWidget();
    column->setMaximumWidth(640);
    auto* c = new QVBoxLayout(column);
    c->setContentsMargins(0, 0, 0, 0);
    c->addWidget(subtitle_);
    v->addWidget(column);
}

// Columns of pages do not ask a wrapped text how tall it is at the width it gets: the block
// asks for itself, so a second line of the subtitle never runs into the heading.
void TitleBlock::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The layout would ask the subtitle's column at the block's full width, past its cap, and
    // get one line too few: each part is asked at the width it really gets.
    const int w = width();
    const int h = heading_->heightForWidth(w) + layout()->spacing() +
                  subtitle_->heightForWidth(std::min(w, 640));
    if (h > 0 && h != minimumHeight()) {
        setMinimumHeight(h);
    }
}

void TitleBlock::set(const std::string& heading, const std::string& subtitle) {
    GuideBlocks::setText(heading_, heading);
    GuideBlocks::setText(subtitle_, subtitle);
}

CheckLine::CheckLine(bool ok, const std::string& yes, const std::string& no, QWidget* parent)
    : QWidget(parent) {
    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(8);
    icon_ = new SymbolIcon("clock", 17, gWarn, 22);
    icon_->setFixedHeight(22);
    label_ = GuideBlocks::text("", 15, gWarn, QFont::Medium, true);
    h->addWidget(icon_, 0, Qt::AlignTop);
    h->addWidget(label_, 1);
    ok_ = !ok;
    set(ok, yes, no);
}

void CheckLine::set(bool ok, const std::string& yes, const std::string& no) {
    const std::string& shown = ok ? yes : no;
    GuideBlocks::setText(label_, shown);
    setAccessibleName(QString::fromStdString(shown));
    if (ok != ok_) {
        ok_ = ok;
        const QColor colour = ok ? gLive : gWarn;
        icon_->set(ok ? "checkmark.circle.fill" : "clock", colour);
        QPalette p = label_->palette();
        p.setColor(QPalette::WindowText, colour);
        label_->setPalette(p);
    }
}

Card::Card(QWidget* parent) : QWidget(parent) {
    content_ = new QVBoxLayout(this);
    content_->setContentsMargins(20, 20, 20, 20);
    content_->setSpacing(12);
    content_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
}

void Card::paintEvent(QPaintEvent*) {
    QPainter g(this);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(gLine, 1));
    g.setBrush(gPanel);
    g.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
}

} // namespace helm
