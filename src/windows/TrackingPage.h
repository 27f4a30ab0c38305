#pragma once

#include "windows/SettingsPage.h"

namespace helm {

// The Head and eyes tab: how much the eyes count, what the user looks at now, calibration.
class TrackingPage : public SettingsPage {
public:
    explicit TrackingPage(SettingsModel& model, QWidget* parent = nullptr);
};

} // namespace helm
