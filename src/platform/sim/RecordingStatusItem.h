#pragma once

#include "platform/StatusItem.h"

#include <vector>

namespace helm {

// A status item that only remembers what it was asked to draw.
class RecordingStatusItem : public StatusItem {
public:
    std::vector<Look> drawn;
    QMenu* menu = nullptr;
    bool widgets = true;
    bool tray = true;

    void setMenu(QMenu* m) override { menu = m; }
    bool inTray() const override { return tray; }
    bool menuTakesWidgets() const override { return widgets; }

protected:
    void draw(const Look& look, const std::optional<Look>&) override { drawn.push_back(look); }
};

} // namespace helm
