#pragma once

#include "windows/SettingsPage.h"

namespace helm {

// The Shortcuts tab: the fixed hotkeys, listed, and which of them another program holds.
class ShortcutsPage : public SettingsPage {
public:
    explicit ShortcutsPage(SettingsModel& model, QWidget* parent = nullptr);
};

} // namespace helm
