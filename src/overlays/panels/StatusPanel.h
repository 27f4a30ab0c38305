#pragma once

#include "overlays/panels/OverlayPanel.h"

#include <QRect>

#include <functional>

namespace helm {

class DesktopWindows;
class HUDModel;

// The floating panel that carries the status box: managed but kept above, on every desktop,
// out of the task bar and pager, 20 points in from the right and bottom of the primary
// screen's work area. It never moves once placed.
class StatusPanel : public OverlayPanel {
public:
    // windows may be null (no hints, treated as composited). With onClick the box takes
    // clicks, each reported at its place on the desktop; without, clicks go through it.
    StatusPanel(HUDModel& model, DesktopWindows* windows, std::function<void(QPoint)> onClick = {});

    // The box's frame for a work area; an empty one (no work area published) gives way to the
    // whole screen.
    static QRect place(const QRect& available, const QRect& screen);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::function<void(QPoint)> onClick_;
};

} // namespace helm
