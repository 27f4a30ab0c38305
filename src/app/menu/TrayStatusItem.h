#pragma once

#include "platform/StatusItem.h"

#include <QIcon>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QSystemTrayIcon>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace helm {

class NotifierItem;

// The status item in the desktop's tray. The tray shows an icon and a tooltip only, so the
// symbol, its tint and the keys number are painted into the icon. A tray may start after the
// program (a panel slower than the autostart): the item follows trays as they come and go.
class TrayStatusItem : public StatusItem {
public:
    // log takes the lines of a tray that would not take the item. watcher: what the session
    // bus said of a StatusNotifierItem tray; asking it here would wait on the main thread.
    explicit TrayStatusItem(std::function<void(const std::string&)> log = {},
                            TrayWatcher watcher = TrayWatcher::none);
    ~TrayStatusItem() override;

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
    // Looks whether a tray came or went, and shows the item where it has one.
    void follow();
    void popup(QPoint at);
    // The icon with the symbol's shape made once for every size.
    static QImage icon(const Look& look, int px, const QPainterPath& shape);

    // The icon at every size a tray may ask for. Drawing them takes far longer than a frame,
    // and a focus change redraws the icon on the main thread: each look's are drawn once.
    struct Pictures {
        QIcon icon;
        QList<QImage> sizes;
    };
    const Pictures& pictures(const Look& look);

    // Qt's tray icons speak StatusNotifierItem for the whole run, decided when its first one
    // is made; otherwise they dock into an embedding tray. Qt asks the watcher on the main
    // thread as it makes one: where the watcher does not answer, Qt's icon is not made at all.
    const bool qtNotifier_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    QMenu* menu_ = nullptr;
    int iconsSet_ = 0;
    std::map<std::tuple<Symbol, Tint, std::string>, Pictures> pictures_;
    // Where Qt's icon does not speak StatusNotifierItem: the item for such a tray, and the pace
    // at which an embedding tray is looked for (Qt sees one start but does not say).
    std::unique_ptr<NotifierItem> notifier_;
    QTimer poll_;
    bool inTray_ = false;
};

} // namespace helm
