#pragma once

#include "overlays/draw/TargetMode.h"

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QRegion>
#include <QString>

#include <optional>
#include <string>

class QPaintDevice;

namespace helm {

// Where a target panel's content lies on its screen: the dot, its label and the screen's
// number. The view draws there, and where no compositing manager blends the dimming the
// panel's window is cut to these parts, so the desktop shows around them.
namespace TargetShape {

// The dot's resting centre (the drift moves it a few pixels about it); corner and camera only.
QPointF dotCentre(QSizeF size, const TargetMode& mode);
// The dot's reach about its centre: the spinner and the drift.
inline constexpr double dotReach = 54 + 2.5 / 2 + 7;

// The pill under a label's text, centred on c.
QRectF labelBox(const QString& text, QPointF c, const QPaintDevice* device);
QFont labelFont(const QPaintDevice* device);

struct Label {
    QString text;
    QPointF centre;
};
// The label of a corner or camera target; nothing in the other modes.
std::optional<Label> label(QSizeF size, int number, const TargetMode& mode);

// One line of the number mode: the number, then the name below it.
struct Line {
    QString text;
    QFont font;
    QRectF box; // the text is centred in it
};
Line numberLine(QSizeF size, int number, const QPaintDevice* device);
Line nameLine(QSizeF size, const std::string& name, const QPaintDevice* device);

// What the panel draws beyond the dimming, with a dark rim around the text; empty in dark
// mode, which draws nothing else.
QRegion drawn(QSizeF size, int number, const std::string& name, const TargetMode& mode,
              const QPaintDevice* device);

} // namespace TargetShape
} // namespace helm
