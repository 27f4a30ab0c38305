#pragma once

#include "windows/SettingsPage.h"

namespace helm {

class JumpGallery;

// The Mouse jump tab: the colour swatches, "Off", the try-out and the gallery of effects.
class JumpPage : public SettingsPage {
public:
    explicit JumpPage(SettingsModel& model, QWidget* parent = nullptr);
    JumpGallery* gallery() const { return gallery_; }

private:
    JumpGallery* gallery_;
};

} // namespace helm
