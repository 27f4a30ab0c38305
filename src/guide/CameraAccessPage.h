#pragma once

#include "guide/GuidePage.h"
#include "guide/OnboardingModel.h"

#include <optional>
#include <string>
#include <utility>

namespace helm {

class Card;
class CameraFeedView;

// Step 1: camera access, and the live preview once it is allowed.
class CameraAccessPage : public GuidePage {
public:
    explicit CameraAccessPage(OnboardingModel& model, QWidget* parent = nullptr);
    void sync() override;

    Card* card() const { return card_; }
    CameraFeedView* preview() const { return preview_; }

private:
    void fill(OnboardingModel::Camera camera, const std::optional<std::string>& note);

    Card* card_;
    CameraFeedView* preview_;
    std::optional<std::pair<OnboardingModel::Camera, std::optional<std::string>>> shown_;
};

} // namespace helm
