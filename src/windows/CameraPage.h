#pragma once

#include "windows/SettingsPage.h"

namespace helm {

// The Camera & privacy tab: the large preview, the camera's health and the head angle.
class CameraPage : public SettingsPage {
public:
    explicit CameraPage(SettingsModel& model, QWidget* parent = nullptr);
};

} // namespace helm
