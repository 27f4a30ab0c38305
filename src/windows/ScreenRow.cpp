#include "windows/ScreenRow.h"

#include "ui/Palette.h"
#include "windows/LineLabel.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace helm {

ScreenRow::ScreenRow(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(10, 7, 10, 7);
    row->setSpacing(10);

    // The badge is drawn by the row, in this place.
    badge_ = new QWidget(this);
    badge_->setFixedSize(28, 28);
    badge_->setAttribute(Qt::WA_TransparentForMouseEvents);
    row->addWidget(badge_);

    auto* names = new QVBoxLayout;
    names->setSpacing(1);
    computer_ = new LineLabel({}, uiFont(13, QFont::DemiBold), gInk, this);
    name_ = new LineLabel({}, uiFont(11), gMuted, this);
    names->addWidget(computer_);
    names->addWidget(name_);
    row->addLayout(names, 1);
    row->addSpacing(4);

    // The state above the button rather than beside it: side by side they leave the names a
    // few letters of the legend's width.
    auto* end = new QVBoxLayout;
    end->setSpacing(1);
    state_ = new LineLabel({}, uiFont(11, QFont::Medium), gLive, this);
    state_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    end->addWidget(state_, 0, Qt::AlignRight);

    relearn_ = new QPushButton(QStringLiteral("Calibrate again"), this);
    relearn_->setFont(uiFont(12));
    makeBorderless(relearn_, gInk);
    connect(relearn_, &QPushButton::clicked, this, [this] {
        if (onRelearn) {
            onRelearn(id_);
        }
    });
    end->addWidget(relearn_, 0, Qt::AlignRight);
    row->addLayout(end);
}

void ScreenRow::fill(const Screen& screen, bool selected, bool online, const QColor& color) {
    if (id_ != screen.id || number_ != screen.number || selected_ != selected || color_ != color) {
        id_ = screen.id;
        number_ = screen.number;
        selected_ = selected;
        color_ = color;
        update();
    }
    computer_->setText(QString::fromStdString(screen.computerName));
    QString name = QString::fromStdString(screen.name);
    name_->setText(online ? name : name + QStringLiteral(" · offline"));
    state_->setText(screen.learned ? QStringLiteral("Calibrated")
                                   : QStringLiteral("Not calibrated"));
    state_->setSymbol(screen.learned ? "checkmark" : "questionmark");
    state_->setColor(screen.learned ? gLive : gWarn);
    relearn_->setEnabled(online);
    setAccessibleName(QStringLiteral("Screen %1").arg(screen.number));
}

void ScreenRow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    QPainterPath back;
    back.addRoundedRect(QRectF(rect()), 9, 9);
    p.fillPath(back, selected_ ? gLine : gPanel);

    const QRectF b(badge_->geometry());
    QPainterPath badge;
    badge.addRoundedRect(b, 7, 7);
    p.fillPath(badge, color_);
    p.setFont(uiFont(15, QFont::Bold));
    p.setPen(gGround);
    p.drawText(b, Qt::AlignCenter, QString::number(number_));
}

void ScreenRow::mousePressEvent(QMouseEvent* e) {
    e->setAccepted(e->button() == Qt::LeftButton);
}

void ScreenRow::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && onSelect) {
        onSelect(id_);
    }
}

} // namespace helm
