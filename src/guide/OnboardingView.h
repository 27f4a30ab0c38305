#pragma once

#include <QWidget>

#include <functional>

namespace helm {

class Defaults;
class DeskModel;
class GuideFooter;
class GuideHeader;
class GuidePage;
class OnboardingModel;

// The set-up guide's whole content, 960 × 720: the header with the step indicator, the page of
// the current step and the footer with its buttons. Reads everything from the guide model (and
// hands the desk model to the pages that show the desk), so it draws without the application.
//
// The model stores many fields at a time and each store notifies: the view brings itself up to
// date once per event-loop turn, in place, and builds a new page only when the step changed.
// Keys are handled here rather than by focused buttons: Return is the footer's main button, or
// "It matches" while a PC waits; Space starts a calibration while the start button shows.
class OnboardingView : public QWidget {
public:
    OnboardingView(OnboardingModel& model, DeskModel& desk, Defaults& defaults,
                   QWidget* parent = nullptr);

    // Brings the view up to date now; otherwise it happens after the model's last change in
    // this turn of the event loop.
    void sync();

    GuideHeader* header() const { return header_; }
    GuideFooter* footer() const { return footer_; }
    GuidePage* page() const { return page_; }
    // How many pages were built so far.
    int pagesBuilt() const { return built_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void schedule();
    GuidePage* makePage(int step);

    OnboardingModel& model_;
    DeskModel& desk_;
    Defaults& defaults_;
    GuideHeader* header_;
    GuideFooter* footer_;
    QWidget* area_;
    GuidePage* page_ = nullptr;
    int pageStep_ = 0;
    int built_ = 0;
    bool pending_ = false;
};

} // namespace helm
