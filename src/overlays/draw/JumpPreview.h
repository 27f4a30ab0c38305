#pragma once

#include "overlays/JumpRecipe.h"

#include <QColor>
#include <QImage>
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
    ~JumpPreview() override;

    // The dynamic property of a top-level window that, while true, says other windows cover
    // it wholly: its previews stop until it turns false.
    static constexpr const char* coveredProperty = "covered";

    // The colour around the tile, where its corners are: with one, the preview paints every
    // pixel of its own, keeps the unchanging desk drawn, and leaves its parent unpainted.
    void setGround(const QColor& ground);
    // Repainting at the screen's rate, as every preview on screen does while one of them
    // plays where it can be seen.
    bool playing() const;

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
    class Frames;

    JumpRecipe recipe_;
    std::string color_;
    std::function<bool()> reduceMotion_;
    std::function<double()> clock_;
    QColor ground_;
    QImage desk_; // the desk over the ground at the widget's size
    bool shown_ = false;
    bool shownRest_ = false; // the frame on screen is the one between two plays

    // The scene rests between two plays (or has no play): every frame then looks the same.
    bool resting(double t) const;
    // Seconds from t until the next play starts; negative when it never plays.
    double untilPlay(double t) const;
};

} // namespace helm
