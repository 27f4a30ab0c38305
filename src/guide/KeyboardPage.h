#pragma once

#include "guide/GuidePage.h"

namespace helm {

class CheckLine;

// Step 2: the permission to pass keyboard and mouse on. Collapses to one line once granted.
class KeyboardPage : public GuidePage {
public:
    explicit KeyboardPage(OnboardingModel& model, QWidget* parent = nullptr);
    void sync() override;

private:
    CheckLine* check_;
    QWidget* howTo_;
};

} // namespace helm
