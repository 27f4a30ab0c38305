#pragma once

#include "gaze/Face.h"

#include <QFont>
#include <QWidget>

#include <optional>

namespace helm {

class DistanceMeter;
class FeedModel;
class PreviewView;

// The live camera picture the user sits down in front of: the mirrored picture (or a dark
// panel with a crossed-out camera while there is none), a dashed frame where the face should
// be, a box around the face that was found, and a bar with a one-line hint and, in the full
// form, a distance meter. Drawn 4:3, fitted into the widget. Shows the feed model and nothing
// else.
class CameraFeedView : public QWidget {
public:
    CameraFeedView(FeedModel& feed, bool compact, QWidget* parent = nullptr);

    // The 4:3 area the view draws in, centred in the widget.
    QRectF area() const;
    // Where a face box (normalised, origin at the bottom left, as the camera saw it) lands in
    // an area of that size: mirrored left to right and turned upside down.
    static QRectF faceRect(const Box& box, QSizeF area);
    // The face box drawn now, in widget coordinates; nothing when none is drawn.
    std::optional<QRectF> shownFace() const;

    // The bar's text, and whether it warns.
    QString hintText() const;
    bool warns() const;
    // How the bar sets its text: beside the meter, shrunk to 0.8 of its size at the most; when
    // it does not fit there, on a row of its own above the meter, so that it is not cut short.
    struct HintLayout {
        QFont font;
        double room;  // the width the text has
        bool stacked; // the meter sits on a row below the text
    };
    HintLayout hintLayout() const;

    PreviewView* preview() const { return preview_; }
    DistanceMeter* meter() const { return meter_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class Guides;

    void sync();
    void place();
    QFont hintFont(double shrink) const;
    std::optional<QRectF> faceInArea() const;

    FeedModel& feed_;
    const bool compact_;
    PreviewView* preview_;
    Guides* guides_;
    DistanceMeter* meter_ = nullptr;
};

} // namespace helm
