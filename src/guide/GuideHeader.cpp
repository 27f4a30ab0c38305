#include "guide/GuideHeader.h"

#include "guide/GuideBlocks.h"
#include "guide/OnboardingModel.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace helm {

namespace {

// Two concentric green rings.
class Mark : public QWidget {
public:
    Mark() { setFixedSize(22, 22); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter g(this);
        g.setRenderHint(QPainter::Antialiasing);
        g.setPen(QPen(gLive, 1.6));
        g.drawEllipse(QPointF(11, 11), 10.2, 10.2);
        g.drawEllipse(QPointF(11, 11), 3.2, 3.2);
    }
};

} // namespace

// One step: a 20 px badge (filled with a tick when done, tinted with the number when current,
// an outlined number when to do) and the step's name.
class GuideHeader::Item : public QWidget {
public:
    explicit Item(int i) : i_(i) {
        const QFont f = Fonts::font(12, QFont::Normal, this);
        setFixedSize(20 + 6 + QFontMetrics(f).horizontalAdvance(name()) + 1, 22);
    }

    void setStep(int step) {
        if (step != step_) {
            step_ = step;
            setAccessibleName(itemName(i_, step));
            update();
        }
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter g(this);
        g.setRenderHint(QPainter::Antialiasing);
        const bool done = i_ < step_;
        const bool current = i_ == step_;
        const QRectF badge(0.5, 1.5, 19, 19);
        QColor fill = gLive;
        if (current) {
            fill.setAlphaF(0.18f);
        }
        g.setPen(QPen(i_ > step_ ? gLine : gLive, 1));
        g.setBrush(done || current ? QBrush(fill) : QBrush(Qt::NoBrush));
        g.drawEllipse(badge);
        if (done) {
            g.save();
            g.translate(badge.center());
            g.fillPath(Symbols::path("checkmark", 9, true), gGround);
            g.restore();
        } else {
            g.setPen(current ? gLive : gMuted);
            g.setFont(Fonts::font(10, QFont::Bold, this));
            g.drawText(badge, Qt::AlignCenter, QString::number(i_));
        }
        g.setPen(current ? gInk : gMuted);
        g.setFont(Fonts::font(12, QFont::Normal, this));
        g.drawText(QRectF(26, 0, width() - 26, height()), Qt::AlignVCenter | Qt::AlignLeft, name());
    }

private:
    QString name() const { return QString::fromUtf8(OnboardingModel::steps[i_]); }
    int i_;
    int step_ = -1;
};

GuideHeader::GuideHeader(QWidget* parent) : QWidget(parent) {
    setFixedHeight(60);
    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(28, 0, 28, 0);
    h->setSpacing(18);
    auto* brand = new QHBoxLayout();
    brand->setSpacing(10);
    brand->addWidget(new Mark());
    brand->addWidget(GuideBlocks::text("Set up Helmvantor", 14, gInk, QFont::DemiBold));
    h->addLayout(brand);
    h->addStretch(1);
    for (int i = 1; i <= 5; ++i) {
        items_.push_back(new Item(i));
        h->addWidget(items_.back());
    }
    setStep(0);
}

void GuideHeader::setStep(int step) {
    for (Item* item : items_) {
        item->setStep(step);
    }
}

QString GuideHeader::itemName(int i, int step) {
    const char* state = i < step ? "done" : i == step ? "current" : "to do";
    return QString("Step %1, %2, %3")
        .arg(i)
        .arg(QString::fromUtf8(OnboardingModel::steps[i]), QString::fromUtf8(state));
}

} // namespace helm
