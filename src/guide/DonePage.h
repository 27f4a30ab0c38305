#pragma once

#include "guide/GuidePage.h"

class QLabel;

namespace helm {

// Step 6: the first switch to another computer, once it happened, and what the program does.
class DonePage : public GuidePage {
public:
    explicit DonePage(OnboardingModel& model, QWidget* parent = nullptr);
    void sync() override;

private:
    QWidget* switched_;
    QLabel* typedOn_;
    QWidget* waiting_;
};

} // namespace helm
