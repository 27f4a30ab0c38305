#pragma once

#include "guide/GuidePage.h"

#include <optional>
#include <string>

class QLabel;
class QVBoxLayout;

namespace helm {

class CheckLine;

// Step 3: what to do on the PC, this computer's pairing code, whether it is on a network and a
// PC is connected, and, while a PC waits for the user, whether both show the same check code.
class ConnectPage : public GuidePage {
public:
    explicit ConnectPage(OnboardingModel& model, QWidget* parent = nullptr);
    void sync() override;
    // Return answers "It matches" while a PC waits.
    bool enter() override;

    // "730146" as "730 146"; a code of another length is split after its third character.
    static std::string grouped(const std::string& code);
    // "Code 7 3 0 1 4 6": the characters one by one, for screen readers.
    static std::string spelled(const std::string& prefix, const std::string& code);
    // The status card's note: how to reach this computer by the address it has, if any.
    static std::string howTo(const std::optional<std::string>& lan,
                             const std::optional<std::string>& tailscale);

private:
    QWidget* pairBox_;
    QLabel* pairQuestion_;
    QLabel* pairCode_;
    QWidget* pickStep_;
    QLabel* pickText_;
    QLabel* code_;
    CheckLine* network_;
    CheckLine* pcs_;
    QLabel* pairNote_;
    QLabel* howTo_;
    QVBoxLayout* stack_;
};

} // namespace helm
