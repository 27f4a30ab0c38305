#pragma once

#include "desk/DeskModel.h"
#include "desk/Observers.h"
#include "windows/stage/Stage.h"
#include "windows/stage/StageCamera.h"

#include <QWidget>

#include <optional>
#include <string>

namespace helm {

// The desk in 3-D inside a window: follows the desk model on every change and lets the user
// look around it: a horizontal drag turns about the desk, a vertical one tilts, the wheel zooms.
// The turns are the view's own; the stage and a new view start from the stage's eye.
class Desk3DView : public QWidget {
public:
    explicit Desk3DView(DeskModel& model, std::optional<std::string> target = std::nullopt,
                        QWidget* parent = nullptr);
    ~Desk3DView() override;

    const Stage& stage() const { return stage_; }
    // The camera the view paints through now.
    StageCamera view() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    void follow();

    DeskModel& model_;
    std::optional<std::string> target_;
    Stage stage_;
    Observers::Token token_ = 0;
    // The orbit about the point the stage looks at: set by the first turn or zoom.
    bool moved_ = false;
    double azimuth_ = 0;   // degrees about world y
    double elevation_ = 0; // degrees above the horizon, 0 to 89
    double distance_ = 0;  // 40 to 600
    std::optional<QPointF> dragFrom_;
};

} // namespace helm
