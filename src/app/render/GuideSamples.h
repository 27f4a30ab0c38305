#pragma once

#include "desk/Defaults.h"
#include "desk/DeskModel.h"
#include "desk/Layout.h"
#include "desk/Prefs.h"
#include "gaze/feed/FeedModel.h"
#include "guide/OnboardingModel.h"
#include "windows/SettingsModel.h"

#include <functional>

namespace helm {

// The made-up desk, camera and settings the pictures show, built in this order and kept for
// the whole run. Everything lives in memory: nothing is read from or written to the user's
// files, so the pictures are the same for every user.
struct GuideSamples {
    // This computer with its built-in display, and a PC with two monitors.
    static Layout layout();

    explicit GuideSamples(std::function<double()> clock);

    Defaults store; // in memory: the preferences, "map3d" and "map3d.edit"
    Prefs prefs{store};
    DeskModel desk{layout()};
    FeedModel feed;
    OnboardingModel guide{"Velmorian's ThinkPad"}; // its screens are the desk's
    SettingsModel settings{prefs};
};

} // namespace helm
