#pragma once

#include <functional>
#include <optional>
#include <string>

class QMenu;

namespace helm {

// What the session bus said of a StatusNotifierItem tray before the status item was made: no
// such tray runs, one shows items, or its watcher took the name and did not answer.
enum class TrayWatcher { none, shows, silent };

// The program's icon in the desktop's tray: a symbol, a tint, the number of the screen with
// the keyboard, a tooltip, and the menu it opens. Main thread only.
class StatusItem {
public:
    enum class Symbol { warning, lock, eye, pause };
    enum class Tint { none, warn, live }; // none: the tray's own colour
    struct Look {
        Symbol symbol = Symbol::eye;
        Tint tint = Tint::none;
        std::string title;       // a space and the keys screen's number
        std::string tooltip;     // the health sentence, else where keys and mouse are
        std::string description; // the health sentence, else the program's name
        friend bool operator==(const Look&, const Look&) = default;
    };

    virtual ~StatusItem() = default;

    // Shows the look; the same look twice in a row draws nothing the second time.
    void show(const Look& look) {
        if (shown_ != look) {
            draw(look, shown_);
            shown_ = look;
        }
    }
    const std::optional<Look>& shown() const { return shown_; }

    virtual void setMenu(QMenu* menu) = 0;
    // False when the desktop runs no tray: the item and its menu show nowhere.
    virtual bool inTray() const = 0;
    // Called when a tray came or went, so inTray's answer changed.
    std::function<void()> onTrayChange = [] {};
    // False where the tray draws the menu itself, from its items' texts alone (custom widgets
    // do not show there).
    virtual bool menuTakesWidgets() const = 0;

protected:
    // before is the look shown until now, if any.
    virtual void draw(const Look& look, const std::optional<Look>& before) = 0;

private:
    std::optional<Look> shown_;
};

} // namespace helm
