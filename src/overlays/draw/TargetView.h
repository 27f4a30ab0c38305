#pragma once

#include "overlays/draw/TargetMode.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>

class QPainter;

namespace helm {

class HoldProgress;

// What an overlay panel shows over a whole screen: the calibration dot with its hold ring and
// a label, the camera prompt, the screen's number, or only the dimming. The ring follows the
// shared hold progress, easing to each new value over 0.1 s.
class TargetView : public QWidget {
public:
    // reduceMotion stops the spinner and the drift; clock gives seconds on the media clock.
    TargetView(int number, std::string name, TargetMode mode, HoldProgress& progress,
               std::function<bool()> reduceMotion, QWidget* parent = nullptr,
               std::function<double()> clock = {});

    // One frame over a screen of the given size at time t, the ring at progress (clamped into
    // [0, 1], NaN as 0). A dirty rectangle limits the dimming to it and leaves out the label
    // when it lies outside. cleared: the device is transparent there, and the dimming and the
    // dot are put down already mixed, which draws the same picture at a fraction of the cost.
    static void paint(QPainter& g, QSizeF size, int number, const std::string& name,
                      const TargetMode& mode, double progress, double t, bool reduceMotion,
                      const QRect& dirty = {}, bool cleared = false);

    // The ring's progress as shown at time now.
    double shown(double now) const;
    // Where the dot with its rings and spinner is drawn at time t; none without a dot.
    QRect dotRect(double t) const;

    // The timer's work: takes the clock's frame and repaints the dot where it was and where
    // it is now.
    void tick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int number_;
    std::string name_;
    TargetMode mode_;
    HoldProgress& progress_;
    std::function<bool()> reduceMotion_;
    std::function<double()> clock_;
    QTimer timer_;
    // The ring's tween; it starts at the value the view first paints, so a new target does not
    // unwind the ring of the one before.
    bool painted_ = false;
    double from_ = 0;
    double to_ = 0;
    double since_ = 0;
    std::optional<double> frame_; // the frame a tick asked for, until it is painted
    QRect shownDot_;              // where the dot is on screen; null when not known
    double shownProgress_ = 0;

    bool reduced() const;
};

} // namespace helm
