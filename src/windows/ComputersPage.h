#pragma once

#include "windows/SettingsPage.h"

#include <map>
#include <string>

namespace helm {

class ComputerRow;

// The Computers tab: the desk's computers, adding a PC, the screen numbers, Tailscale only,
// the PCs allowed to drive this computer, a new shared secret and, where no keyring answers,
// the file the keys are kept in.
class ComputersPage : public SettingsPage {
public:
    explicit ComputersPage(SettingsModel& model, QWidget* parent = nullptr);
    // The rows in list order.
    std::vector<ComputerRow*> computerRows() const;

    // Where the keys are kept, the home folder written "~".
    static std::string keptText(const std::string& file);

private:
    std::map<std::string, ComputerRow*> rows_;
    void syncRows();
};

} // namespace helm
