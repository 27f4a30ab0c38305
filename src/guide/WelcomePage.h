#pragma once

#include "guide/GuidePage.h"

namespace helm {

// Step 0: what the program does and what setting it up takes. Reads nothing from the model.
class WelcomePage : public GuidePage {
public:
    explicit WelcomePage(OnboardingModel& model, QWidget* parent = nullptr);
};

} // namespace helm
