#pragma once

#include "windows/SettingsPage.h"

namespace helm {

// The Clipboard tab: what is handed over, and where received files go.
class ClipboardPage : public SettingsPage {
public:
    explicit ClipboardPage(SettingsModel& model, QWidget* parent = nullptr);
};

} // namespace helm
