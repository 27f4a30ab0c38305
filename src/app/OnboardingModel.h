#pragma once

#include "desk/Angle.h"

#include <QObject>

#include <optional>
#include <string>

namespace helm {

// The set-up guide's state as the rest of the program reads and writes it. Writers set the
// fields, then emit changed(). Main thread only.
class OnboardingModel : public QObject {
    Q_OBJECT
public:
    int step = 0; // the page shown, 0 to 6; 4 is the calibration page
    // The computer name of the first PC keyboard focus reached, once it has.
    std::optional<std::string> firstSwitch;

    // The calibration page.
    bool calibrating = false;               // a run is going on
    bool done = false;                      // the last run captured every step
    std::optional<std::string> instruction; // the prompt on the page
    double progress = 0;                    // 0 to 1
    std::optional<std::string> targetID;    // the screen whose dot is shown
    std::optional<Angle> angle;             // the combined gaze during a run
    std::optional<std::string> checkResult; // the accuracy check's sentence

    void setFirstSwitch(std::string computerName);
    // The layout changed: the pages read the screens again.
    void screensChanged();

signals:
    void changed();
};

} // namespace helm
