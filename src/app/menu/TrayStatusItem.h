#pragma once

#include "platform/StatusItem.h"

#include <QImage>
#include <QSystemTrayIcon>

namespace helm {

// The status item in the desktop's tray. The tray shows an icon and a tooltip only, so the
// symbol, its tint and the keys number are painted into the icon.
class TrayStatusItem : public StatusItem {
public:
    TrayStatusItem();

    void setMenu(QMenu* menu) override;
    bool inTray() const override;
    bool menuTakesWidgets() const override;

    // The icon at px by px pixels.
    static QImage icon(const Look& look, int px);
    // The tooltip: the program's name or health sentence, then where keys and mouse are.
    static QString tooltip(const Look& look);

    int iconsSet() const { return iconsSet_; }

protected:
    void draw(const Look& look, const std::optional<Look>& before) override;

private:
    QSystemTrayIcon tray_;
    QMenu* menu_ = nullptr;
    int iconsSet_ = 0;
};

} // namespace helm
