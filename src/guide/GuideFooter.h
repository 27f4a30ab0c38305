#pragma once

#include <QWidget>

namespace helm {

class OnboardingModel;
class PrimaryButton;
class QuietButton;

// The guide's footer bar: "Back", a skip button while a step is not complete, and the main
// button that moves on ("Get started", "Continue") or finishes ("Start using Helmvantor").
class GuideFooter : public QWidget {
public:
    explicit GuideFooter(OnboardingModel& model, QWidget* parent = nullptr);
    // Brings the buttons in line with the model.
    void sync();
    // What the main button does; nothing while the step is not complete.
    void activate();

    QuietButton* back() const { return back_; }
    QuietButton* skip() const { return skip_; }
    PrimaryButton* main() const { return main_; }

private:
    OnboardingModel& model_;
    QuietButton* back_;
    QuietButton* skip_;
    PrimaryButton* main_;
};

} // namespace helm
