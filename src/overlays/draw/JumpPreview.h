#pragma once

#include "overlays/JumpRecipe.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>

class QPainter;

namespace helm {

// The settings' looping try-out of a recipe: a miniature desk of two monitors, "Mac" and "PC",
// with a pointer travelling onto the PC along the recipe's path while the effect plays there.
// Every tile follows the media clock, so tiles side by side play in step.
class JumpPreview : public QWidget {
public:
    // reduceMotion is asked on every frame; clock gives seconds on the media clock.
    JumpPreview(JumpRecipe recipe, std::string color, std::function<bool()> reduceMotion,
                QWidget* parent = nullptr, std::function<double()> clock = {});

    // One frame of a tile w wide (and w × 9/16 high) with its top left at the origin, at time
    // t in seconds: the effect plays for the recipe's duration, then rests for 0.9 s.
    static void paint(QPainter& g, double w, const JumpRecipe& recipe, const std::string& color,
                      double t, bool still);

    QSize sizeHint() const override { return {320, 180}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    JumpRecipe recipe_;
    std::string color_;
    std::function<bool()> reduceMotion_;
    std::function<double()> clock_;
    QTimer timer_;
};

} // namespace helm
