#pragma once

#include "windows/SettingsPage.h"

#include <map>
#include <string>

namespace helm {

class ComputerRow;

// The Computers tab: the desk's computers, adding a PC, the screen numbers, Tailscale only,
// the PCs allowed to drive this computer and a new shared secret.
class ComputersPage : public SettingsPage {
public:
    explicit ComputersPage(SettingsModel& model, QWidget* parent = nullptr);
    // The rows in list order.
    std::vector<ComputerRow*> computerRows() const;

    // "desk-pc-7" reads DESK PC 7 to the user.

private:
    std::map<std::string, ComputerRow*> rows_;
    void syncRows();
};

} // namespace helm
