#include "app/menu/MenuHeader.h"

#include "app/menu/MenuModel.h"
#include "app/menu/QuickButton.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/StatusSymbols.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace helm {

MenuHeader::MenuHeader(MenuModel& m, QWidget* parent)
    : QWidget(parent), model(m), symbol_(new QLabel), title_(new QLabel), detail_(new QLabel) {
    setFixedWidth(320);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(14, 10, 14, 8);
    column->setSpacing(8);

    auto* top = new QHBoxLayout;
    top->setSpacing(10);
    symbol_->setFixedSize(22, 22);
    top->addWidget(symbol_, 0, Qt::AlignTop);
    auto* lines = new QVBoxLayout;
    lines->setSpacing(2);
    title_->setFont(Fonts::font(13, QFont::DemiBold, this));
    title_->setWordWrap(true);
    title_->setMaximumHeight(QFontMetrics(title_->font()).lineSpacing() * 2); // two lines
    detail_->setFont(Fonts::font(12, QFont::Normal, this));
    detail_->setWordWrap(true);
    lines->addWidget(title_);
    lines->addWidget(detail_);
    top->addLayout(lines, 1);
    column->addLayout(top);

    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    buttons_ = {new QuickButton("pause.fill", "Pause", [this] { model.onPause(); }),
                new QuickButton("scope", "Calibrate", [this] { model.onCalibrate(); }),
                new QuickButton("gearshape", "Settings", [this] { model.onSettings(); }),
                new QuickButton("arrow.counterclockwise", "Reset", [this] { model.onReset(); })};
    for (QuickButton* b : buttons_) {
        row->addWidget(b);
    }
    column->addLayout(row);

    connect(&model, &MenuModel::changed, this, &MenuHeader::follow);
    follow();
}

void MenuHeader::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        follow();
    }
}

const char* MenuHeader::symbol() const {
    const MenuModel::Header& h = model.header();
    if (h.warning) {
        return "exclamationmark.triangle.fill";
    }
    return h.paused ? "pause.circle.fill" : "eye.fill";
}

void MenuHeader::follow() {
    const MenuModel::Header& h = model.header();
    QColor secondary = palette().color(QPalette::PlaceholderText);
    QColor tint = h.warning || h.paused ? gWarn : h.remote ? gLive : secondary;

    QPixmap glyph(22 * devicePixelRatio(), 22 * devicePixelRatio());
    glyph.setDevicePixelRatio(devicePixelRatio());
    glyph.fill(Qt::transparent);
    {
        QPainter p(&glyph);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(tint);
        p.drawPath(StatusSymbols::path(symbol(), 17).translated(11, 11));
    }
    symbol_->setPixmap(glyph);

    title_->setText(QString::fromStdString(h.title));
    detail_->setVisible(h.detail.has_value());
    detail_->setText(QString::fromStdString(h.detail.value_or("")));
    QPalette pal = detail_->palette();
    pal.setColor(QPalette::WindowText, h.warning ? gWarn : secondary);
    detail_->setPalette(pal);

    buttons_[0]->set(h.paused ? "play.fill" : "pause.fill", h.paused ? "Resume" : "Pause");
    adjustSize();
}

} // namespace helm
