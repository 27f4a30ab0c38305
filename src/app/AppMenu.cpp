// The status menu wired to the application: what its items show and what they do.
#include "app/App.h"
#include "app/Log.h"
#include "app/menu/StatusMenu.h"
#include "windows/SettingsModel.h"

#include <QCoreApplication>

namespace helm {

void App::buildMenu() {
    MenuActions a;
    a.refresh = [this] { refresh(); };
    a.pause = [this] { togglePause(); };
    a.calibrate = [this] { calibrateInGuide(false); };
    a.settings = [this] { openSettings(); };
    a.manageSetups = [this] {
        settings().setTab("setups");
        openSettings();
    };
    a.reset = [this] { resetDefaults(); };
    a.askAccess = [this] { askAccess(); };
    a.toggleLock = [this] { toggleLock(); };
    a.locked = [this] { return router().locked.has_value(); };
    a.toggleCamera = [this] { setCamera(!cameraSwitchedOn(), "you asked"); };
    a.cameraOn = [this] { return cameraSwitchedOn(); };
    a.unstick = [this] {
        unstick();
        note("Keys and mouse released everywhere.");
    };
    a.openDesk = [this] { openDesk(); };
    a.openGuide = [this] { openGuide(); };
    // The ordinary end of the event loop, so the quit sequence runs.
    a.quit = [] { QCoreApplication::quit(); };
    a.setups = [this] {
        std::vector<std::string> names;
        for (const Setups::Setup& s : setups().list) {
            names.push_back(s.name);
        }
        return names;
    };
    a.activeSetup = [this] { return setups().active; };
    a.useSetup = [this](const std::string& name) { useSetup(name, false); };
    a.newSetup = [this] { newSetup(); };
    a.screens = [this] { return layout_.screens; };
    a.connected = [this] { return connected; };
    a.gaze = [this] { return router().gaze; };
    a.jumpTo = [this](int number) { jumpTo(number); };

    const bool widgets = !platform_.statusItem || platform_.statusItem->menuTakesWidgets();
    menu_ = helm::buildMenu(menuModel, std::move(a), widgets);
    if (platform_.statusItem) {
        platform_.statusItem->setMenu(&menu_->menu);
        platform_.statusItem->onTrayChange = [this] { trayChanged(); };
    }
    if (!simOnly_ && noTray()) {
        log("no tray: the menu opens from a click on the status box");
        showPanel();
    }
}

void App::askAccess() {
    installTap(false);
    if (accessMissing) {
        guide.setStep(2); // the keyboard page
        openGuide();
    }
}

} // namespace helm
