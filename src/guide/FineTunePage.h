#pragma once

#include "guide/GuidePage.h"

namespace helm {

class Defaults;
class DeskModel;

// Step 5, optional: the learned desk, to move and resize the monitor boxes.
class FineTunePage : public GuidePage {
public:
    FineTunePage(OnboardingModel& model, DeskModel& desk, Defaults& defaults,
                 QWidget* parent = nullptr);
};

} // namespace helm
