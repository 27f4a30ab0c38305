#pragma once

#include <QColor>
#include <QWidget>

#include <optional>

namespace helm {

// A small "Far"–"Near" bar showing how far the face is from the camera, by the width of its
// box: a track, the good zone between the widths at which the user is told they are too far or
// too close, and a dot at the face's width.
class DistanceMeter : public QWidget {
public:
    // live and warn are the palette's colours for a good and a bad place.
    DistanceMeter(QColor live, QColor warn, QWidget* parent = nullptr);

    // The face box's width as a share of the image width; nothing when no face is known.
    void setWidth(std::optional<double> width);
    std::optional<double> width() const { return width_; }

    static constexpr double kNear = 0.55;
    static constexpr double kFar = 0.11;
    static constexpr double kScale = 0.7;
    static constexpr double kBarWidth = 110;
    static constexpr double kBarHeight = 12;
    static constexpr double kGap = 6;

    // Where the bar sits in the widget, for whoever draws on top of it.
    QRectF bar() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor live_;
    QColor warn_;
    std::optional<double> width_;
    QFont font() const;
};

} // namespace helm
