#include "windows/CameraBox.h"

#include "ui/Palette.h"

#include <QPainter>

namespace helm {

CameraBox::CameraBox(FeedModel*, int width, QWidget* parent) : QWidget(parent) {
    setFixedSize(width, width * 3 / 4);
    setAccessibleName("Camera preview");
}

void CameraBox::paintEvent(QPaintEvent*) {
    QPainter g(this);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(Qt::NoPen);
    g.setBrush(gPanel);
    g.drawRoundedRect(QRectF(rect()), 12, 12);
}

} // namespace helm
