#pragma once

#include "desk/Screen.h"
#include "guide/GuidePage.h"

#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QHBoxLayout;
class QLabel;
class QProgressBar;
class QVBoxLayout;

namespace helm {

class Card;
class Defaults;
class DeskModel;
class PrimaryButton;
class QuietButton;
class TitleBlock;

// Step 4: portrait marks, the guided calibration with its desk map and progress, the sound
// toggle, the accuracy check's result and the screen numbers.
class LookPage : public GuidePage {
public:
    LookPage(OnboardingModel& model, DeskModel& desk, Defaults& defaults,
             QWidget* parent = nullptr);
    void sync() override;
    // Space starts a calibration while the start button shows.
    bool space() override;

    // The guide's screens by number, ties in the order given.
    static std::vector<Screen> sorted(std::vector<Screen> screens);
    // "About 14 seconds" and the rest, for n screens.
    static std::string explanation(std::size_t n);

private:
    void syncRows(const std::vector<Screen>& screens);
    void syncMap();

    DeskModel& desk_;
    Defaults& defaults_;
    TitleBlock* title_;
    QVBoxLayout* mapBox_;
    QWidget* map_ = nullptr;
    std::optional<std::string> mapTarget_;
    QProgressBar* progress_;
    QLabel* count_;
    QVBoxLayout* rows_;
    std::string rowsShown_;
    std::vector<QAbstractButton*> toggles_;
    PrimaryButton* start_;
    QuietButton* precise_;
    QuietButton* stop_;
    QuietButton* sound_;
    QWidget* result_;
    QLabel* resultText_;
    // Why the last run could not start or ended early.
    QWidget* problem_;
    QLabel* problemText_;
};

} // namespace helm
