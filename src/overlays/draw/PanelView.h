#pragma once

#include "overlays/draw/HUDState.h"

#include <QWidget>

#include <optional>
#include <string>

class QPainter;

namespace helm {

class HUDModel;

// The status box, 280 × 74: a dot and the status line with the camera sign, and below it the
// note or where keys and mouse are.
class PanelView : public QWidget {
public:
    explicit PanelView(HUDModel& model, QWidget* parent = nullptr);

    static void paint(QPainter& g, const HUDState& state, const std::optional<std::string>& note);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    HUDModel& model_;
};

} // namespace helm
