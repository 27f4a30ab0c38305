#pragma once

#include "windows/SettingsPage.h"

namespace helm {

// The General tab: starting at login, the floating panel, sounds, voice and the reset.
class GeneralPage : public SettingsPage {
public:
    explicit GeneralPage(SettingsModel& model, QWidget* parent = nullptr);
};

} // namespace helm
