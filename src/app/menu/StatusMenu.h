#pragma once

#include "desk/Screen.h"

#include <QMenu>
#include <QStyle>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace helm {

class MenuModel;

// What the menu reads and does; the application fills these in. Every item's callback is
// followed by refresh.
struct MenuActions {
    std::function<void()> refresh = [] {};
    // the header's buttons, run after the menu has closed
    std::function<void()> pause = [] {};
    std::function<void()> calibrate = [] {};
    std::function<void()> settings = [] {};
    std::function<void()> reset = [] {};
    // the items
    std::function<void()> askAccess = [] {};
    std::function<void()> toggleLock = [] {};
    std::function<bool()> locked = [] { return false; };
    std::function<void()> toggleCamera = [] {};
    std::function<bool()> cameraOn = [] { return false; };
    std::function<void()> unstick = [] {};
    std::function<void()> openDesk = [] {};
    std::function<void()> openGuide = [] {};
    std::function<void()> quit = [] {};
    // the setup submenu
    std::function<std::vector<std::string>()> setups = [] { return std::vector<std::string>{}; };
    std::function<std::string()> activeSetup = [] { return std::string(); };
    std::function<void(const std::string&)> useSetup = [](const std::string&) {};
    std::function<void()> newSetup = [] {};
    std::function<void()> manageSetups = [] {};
    // the jump submenu
    std::function<std::vector<Screen>()> screens = [] { return std::vector<Screen>{}; };
    std::function<std::set<std::string>()> connected = [] { return std::set<std::string>{}; };
    std::function<std::string()> gaze = [] { return std::string(); }; // the screen looked at
    std::function<void(int)> jumpTo = [](int) {};
};

// The status item's menu: the header, the manual controls, the setup and jump submenus, the
// windows and Quit. Built once; the submenus are filled each time they open.
class StatusMenu {
private:
    // Before the menus, which use it until they are gone.
    std::unique_ptr<QStyle> style_;

public:
    QMenu menu;
    QMenu setupMenu;
    QMenu jumpMenu;
    QAction* accessItem = nullptr; // hidden until input control needs the user's leave
    QAction* setupItem = nullptr;
    // Items whose checkmark follows a state.
    std::vector<std::pair<QAction*, std::function<bool()>>> toggles;
    // The plain-text header, where the tray cannot show the header widget.
    QAction* titleItem = nullptr;
    QAction* detailItem = nullptr;

    // Sets every toggle's checkmark from its state.
    void updateToggles();
    // The label of a screen in the jump submenu, its hotkey aside.
    static QString jumpTitle(const Screen& screen, bool offline);
    // The menus' own look, dark whatever the desktop's theme, as the program's windows are:
    // Fusion over this palette.
    static QPalette palette();
    // The colour the menu is painted in behind its items and header, for pictures of them.
    static QColor ground();

private:
    friend std::unique_ptr<StatusMenu> buildMenu(MenuModel&, MenuActions, bool);
    MenuActions actions_;

    QAction* action(QMenu& in, const QString& title, const QKeySequence& key,
                    std::function<void()> f);
    QAction* toggle(const QString& title, std::function<bool()> state, std::function<void()> f);
    // Shows the global hotkey keys (Super+Alt+…) in the shortcut column with every other
    // item's keys: after a tab in our own menu, which Qt draws there, and as the item's
    // shortcut where the tray draws the menu.
    void showHotkey(QAction* item, const QString& title, const std::string& keys);
    bool widgets_ = true;
    void menuNeedsUpdate(QMenu& which);
    void fillSetups();
    void fillJumps();
};

// Builds the menu over the model. widgets: the tray shows the header widget; otherwise the
// header's title and detail are plain disabled items and its four buttons ordinary items after
// them. Fills the model's four callbacks.
std::unique_ptr<StatusMenu> buildMenu(MenuModel& model, MenuActions actions, bool widgets);

} // namespace helm
