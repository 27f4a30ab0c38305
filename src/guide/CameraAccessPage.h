#pragma once

#include "guide/GuidePage.h"
#include "guide/OnboardingModel.h"

#include <functional>
#include <optional>

namespace helm {

class Card;
class CameraFeedView;

// Step 1: camera access, and the live preview once it is allowed.
class CameraAccessPage : public GuidePage {
public:
    // openSettings opens the system's camera privacy settings, where there are such.
    CameraAccessPage(OnboardingModel& model, std::function<void()> openSettings,
                     QWidget* parent = nullptr);
    void sync() override;

    Card* card() const { return card_; }
    CameraFeedView* preview() const { return preview_; }

private:
    void fill(OnboardingModel::Camera camera);

    std::function<void()> openSettings_;
    Card* card_;
    CameraFeedView* preview_;
    std::optional<OnboardingModel::Camera> shown_;
};

} // namespace helm
