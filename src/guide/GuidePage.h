#pragma once

#include <QWidget>

namespace helm {

class OnboardingModel;

// One step's page of the set-up guide. Built when the step is entered; sync brings it in line
// with the model in place, so hover, pressed state and focus survive the guide's refreshes.
class GuidePage : public QWidget {
public:
    explicit GuidePage(OnboardingModel& model, QWidget* parent = nullptr)
        : QWidget(parent), model(model) {}
    virtual void sync() {}
    // The page's own answer to Return and Space; false leaves the key to the window.
    virtual bool enter() { return false; }
    virtual bool space() { return false; }

protected:
    OnboardingModel& model;
};

} // namespace helm
