#pragma once

#include "windows/SettingsPage.h"

namespace helm {

// The Switching tab: how quickly focus follows, whose input counts, the mouse on PCs.
class SwitchingPage : public SettingsPage {
public:
    explicit SwitchingPage(SettingsModel& model, QWidget* parent = nullptr);
};

} // namespace helm
