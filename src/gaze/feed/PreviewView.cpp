#include "gaze/feed/PreviewView.h"

#include "gaze/feed/FrameSlot.h"

#include <QPainter>
#include <QPainterPath>

namespace helm {

namespace {

// The camera's 8-bit BGR or grey image as a QImage of its own.
QImage convert(const cv::Mat& m) {
    if (m.empty() || m.depth() != CV_8U) {
        return {};
    }
    QImage::Format format;
    if (m.channels() == 3) {
        format = QImage::Format_BGR888;
    } else if (m.channels() == 1) {
        format = QImage::Format_Grayscale8;
    } else {
        return {};
    }
    return QImage(m.data, m.cols, m.rows, static_cast<qsizetype>(m.step), format).copy();
}

} // namespace

PreviewView::PreviewView(FrameSlot& frames, double radius, QWidget* parent)
    : QWidget(parent), frames_(frames), radius_(radius) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    connect(&frames_, &FrameSlot::ready, this, [this] { take(); });
}

PreviewView::~PreviewView() {
    if (watching_) {
        frames_.watch(false);
    }
}

void PreviewView::showEvent(QShowEvent*) {
    if (!watching_) {
        watching_ = true;
        frames_.watch(true);
        take();
    }
}

void PreviewView::hideEvent(QHideEvent*) {
    if (watching_) {
        watching_ = false;
        frames_.watch(false);
    }
}

void PreviewView::take() {
    if (!isVisible()) {
        return;
    }
    QImage next = convert(frames_.latest());
    if (!next.isNull()) {
        picture_ = std::move(next);
        update();
    }
}

QRectF PreviewView::fill(QSizeF picture, QSizeF area) {
    if (picture.isEmpty() || area.isEmpty()) {
        return {QPointF(0, 0), area};
    }
    const double scale = std::max(area.width() / picture.width(), area.height() / picture.height());
    const QSizeF size = picture * scale;
    return {QPointF((area.width() - size.width()) / 2, (area.height() - size.height()) / 2), size};
}

void PreviewView::paintEvent(QPaintEvent*) {
    QPainter g(this);
    g.setRenderHint(QPainter::Antialiasing);
    g.setRenderHint(QPainter::SmoothPixmapTransform);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(rect()), radius_, radius_);
    g.setClipPath(clip);
    g.fillRect(rect(), Qt::black);
    if (picture_.isNull()) {
        return;
    }
    // Mirrored: the user moves left, the picture moves left.
    g.translate(width(), 0);
    g.scale(-1, 1);
    g.drawImage(fill(picture_.size(), size()), picture_);
}

} // namespace helm
