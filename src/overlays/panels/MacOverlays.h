#pragma once

#include "gaze/feed/HoldProgress.h"
#include "overlays/JumpRecipe.h"
#include "overlays/draw/TargetMode.h"
#include "overlays/panels/OverlayPanel.h"
#include "platform/ScreenScale.h"

#include <QPoint>
#include <QPointF>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QTimer;

namespace helm {

class DesktopWindows;
struct DisplayInfo;
class DisplaySource;

// The full-screen, click-through panels over this computer's screens: one target panel per
// display index, made on first use and kept, and one landing panel where a jump's arrival
// effect plays. In simulation mode targets are only logged and arrivals do nothing. Main
// thread only.
class MacOverlays {
public:
    using Mode = TargetMode;

    // What a display's panel was last asked to show, and whether it is on screen.
    struct Target {
        int number = 0;
        std::string name;
        Mode mode;
        bool visible = false;
    };

    MacOverlays();
    ~MacOverlays();
    MacOverlays(const MacOverlays&) = delete;
    MacOverlays& operator=(const MacOverlays&) = delete;

    // Set once by the application: simulation mode, where this computer's displays come from,
    // the window system, the desktop's reduced-motion setting and the log.
    bool simulation = false;
    DisplaySource* displays = nullptr;
    DesktopWindows* windows = nullptr;
    std::function<bool()> reduceMotion;
    std::function<void(const std::string&)> log;
    // Where the displays' shared frame starts in device pixels: the primary screen's top-left
    // corner (the toolkit's primary screen's when empty).
    std::function<QPoint()> origin;
    // How the toolkit's logical pixels map to the displays' device pixels (the toolkit's own
    // screens when empty): a panel is placed, and its effect drawn, in logical pixels.
    std::function<ScreenScale()> scale;

    // The hold ring around the calibration dot, shared by every panel; a new target starts it
    // at 0.
    HoldProgress progress;

    // Shows the target for mode over the display with that index; an index with no display
    // (negative or past the last) does nothing. Without a compositing manager the panel is
    // cut to what it draws (a dark screen shows nothing), and the log says so once.
    void show(int display, int number, const std::string& name, const Mode& mode);
    // Takes that display's target panel off the screen, if there is one.
    void hide(int display);
    // Takes every target panel off the screen; the panels are kept, the landing panel is not
    // touched.
    void hideAll();
    // Plays one arrival effect at a point of the shared frame (the primary's top-left is
    // (0, 0), y down) on the display that holds it; a point on no display does nothing.
    // dir, number and name go to the effect unchanged.
    void arrival(QPointF at, const JumpRecipe& recipe, const std::string& dir, int number,
                 const std::string& name);

    const std::map<int, Target>& targets() const { return targets_; }
    const std::map<int, std::unique_ptr<OverlayPanel>>& panels() const { return panels_; }
    OverlayPanel* landing() const { return landing_.get(); }
    // The landing panel's pending order-out; none before the first arrival.
    const QTimer* landingHide() const { return landingHide_; }

    // The mode as the simulation log names it: "corner(tl)", "camera", "number", "dark".
    static std::string text(const Mode& mode);

private:
    std::map<int, Target> targets_;
    std::map<int, std::unique_ptr<OverlayPanel>> panels_;
    std::unique_ptr<OverlayPanel> landing_;
    QTimer* landingHide_ = nullptr; // owned by the landing panel
    bool toldNoCompositor_ = false;
    bool toldNoDimming_ = false;

    QPoint start() const;
    // The display's frame in the toolkit's coordinates, and its device pixels per logical one.
    QRect place(const DisplayInfo& d, double* ratio) const;
};

} // namespace helm
