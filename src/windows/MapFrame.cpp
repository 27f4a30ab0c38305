#include "windows/MapFrame.h"

#include "ui/Palette.h"

#include <QChildEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace helm {

namespace {

constexpr double kRadius = 12;

QPainterPath rounded(const QRect& r) {
    QPainterPath p;
    p.addRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), kRadius, kRadius);
    return p;
}

} // namespace

// Over the picture: the ground outside the round corners, then the outline.
class MapFrame::Edge : public QWidget {
public:
    Edge(QColor ground, QWidget* parent) : QWidget(parent), ground_(ground) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter g(this);
        g.setRenderHint(QPainter::Antialiasing);
        QPainterPath corners;
        corners.addRect(QRectF(rect()));
        g.fillPath(corners.subtracted(rounded(rect())), ground_);
        g.strokePath(rounded(rect()), QPen(gLine, 1));
    }

private:
    QColor ground_;
};

MapFrame::MapFrame(QColor ground, QWidget* parent) : QWidget(parent) {
    content_ = new QVBoxLayout(this);
    content_->setContentsMargins(1, 1, 1, 1);
    content_->setSpacing(0);
    edge_ = new Edge(ground, this);
}

void MapFrame::paintEvent(QPaintEvent*) {
    QPainter g(this);
    g.setRenderHint(QPainter::Antialiasing);
    g.fillPath(rounded(rect()), QColor(0, 0, 0, 64));
}

void MapFrame::resizeEvent(QResizeEvent*) {
    edge_->setGeometry(rect());
}

void MapFrame::childEvent(QChildEvent* event) {
    QWidget::childEvent(event);
    // A picture added later is stacked above the edge: lift the edge over it again.
    if (event->added() && edge_ != nullptr && event->child() != edge_) {
        edge_->raise();
    }
}

} // namespace helm
