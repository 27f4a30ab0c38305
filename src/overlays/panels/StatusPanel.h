#pragma once

#include "overlays/panels/OverlayPanel.h"

#include <QRect>

namespace helm {

class DesktopWindows;
class HUDModel;

// The floating panel that carries the status box: managed but kept above, on every desktop,
// out of the task bar and pager, 20 points in from the right and bottom of the primary
// screen's work area. It never moves once placed.
class StatusPanel : public OverlayPanel {
public:
    // windows may be null (no hints, treated as composited).
    StatusPanel(HUDModel& model, DesktopWindows* windows);

    // The box's frame for a work area; an empty one (no work area published) gives way to the
    // whole screen.
    static QRect place(const QRect& available, const QRect& screen);
};

} // namespace helm
