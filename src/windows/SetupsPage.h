#pragma once

#include "windows/SettingsPage.h"

#include <vector>

namespace helm {

class SetupRow;

// The Setups tab: one row per stored setup, in stored order (a name stored twice gets two
// rows), and "New setup".
class SetupsPage : public SettingsPage {
public:
    explicit SetupsPage(SettingsModel& model, QWidget* parent = nullptr);
    const std::vector<SetupRow*>& setupRows() const { return rows_; }

private:
    std::vector<SetupRow*> rows_;
    void syncRows();
};

} // namespace helm
