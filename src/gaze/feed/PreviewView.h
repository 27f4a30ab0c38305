#pragma once

#include <QImage>
#include <QWidget>

namespace helm {

class FrameSlot;

// The live camera picture: the latest frame, mirrored like a mirror, scaled to fill the widget
// and cropped, clipped to rounded corners. Frames are converted only while it is shown.
class PreviewView : public QWidget {
public:
    PreviewView(FrameSlot& frames, double radius, QWidget* parent = nullptr);
    ~PreviewView() override;

    // The picture drawn now, before mirroring; null when none came yet.
    const QImage& picture() const { return picture_; }
    // Where the picture lands in the widget: the whole widget covered, centred, aspect kept.
    static QRectF fill(QSizeF picture, QSizeF area);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void take();

    FrameSlot& frames_;
    double radius_;
    QImage picture_;
    bool watching_ = false;
};

} // namespace helm
