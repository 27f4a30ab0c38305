#pragma once

#include "overlays/JumpRecipe.h"
#include "overlays/draw/LoopFrames.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>
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
    // pixel of its own, keeps the unchanging desk drawn and each frame of the loop once drawn,
    // and leaves its parent unpainted.
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
    // The loop's frames as drawn over desk_, and what they were drawn for: another size,
    // screen rate or reduce-motion setting draws them anew.
    LoopFrames kept_;
    struct KeptFor {
        QSize pixels;
        qreal ratio = 0; // device pixels a point
        double hz = 0;
        bool still = false;
        bool operator==(const KeptFor&) const = default;
    } keptFor_;
    bool keptFull_ = false; // the budget had no room for a frame: draw the rest afresh
    // What is on screen: the frame, and where it differs from the desk (none: not known,
    // the screen may hold parts of two frames); and the time a tick asked to be painted.
    static constexpr int noFrame = -3;
    int shownIndex_ = noFrame;
    std::optional<QRect> shownPart_;
    std::optional<double> pending_;
    bool shown_ = false;
    bool shownRest_ = false; // the frame on screen is the one between two plays

    // The scene rests between two plays (or has no play): every frame then looks the same.
    bool resting(double t) const;
    // Seconds from t until the next play starts; negative when it never plays.
    double untilPlay(double t) const;
    // Frames a second: the screen's rate, 60 at most.
    double frameRate() const;
    // The timer's work at time t: repaints what the frame then changes on screen, if anything.
    void advance(double t);
    void forgetShown();
    // The frame of the loop nearest time t, counted from the start of the play at hz frames
    // a second; every moment of the rest, which all look the same, is frame -1, and a moment
    // of a play too long to keep is -2.
    int frameAt(double t, double hz) const;
    // The time a frame is drawn for.
    double frameTime(int index, double hz) const;
    // The tile over its desk at time t: the desk, then the effect clipped to the tile's
    // rectangle, then the corners put back from the desk.
    void overDesk(QPainter& g, double w, QPoint at, double t, bool still) const;
};

} // namespace helm
