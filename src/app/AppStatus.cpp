// What the user sees of the application's state: the status item, the menu's header, the
// status box and its notes.
#include "app/App.h"
#include "app/Log.h"
#include "app/NumberText.h"
#include "app/menu/StatusMenu.h"
#include "gaze/camera/GazeEngine.h"
#include "input/Hotkeys.h"
#include "platform/MediaClock.h"

namespace helm {

std::string App::name(const std::string& id) const {
    if (std::optional<Screen> s = screen(id)) {
        return format("%d", s->number) + " · " + s->name;
    }
    return id;
}

void App::refresh() {
    Router& r = router();
    const std::string keysLabel = name(r.keys);
    const std::string mouseLabel = name(r.mouse);
    const std::optional<Screen> keysScreen = screen(r.keys);
    auto onConnectedPC = [this](const std::optional<Screen>& s) {
        return s && s->computer && connected.contains(*s->computer);
    };
    const bool remote = onConnectedPC(keysScreen) || onConnectedPC(screen(r.mouse));
    const std::string number = keysScreen ? format("%d", keysScreen->number) : "?";
    const std::optional<std::string> sentence = health();
    std::optional<std::string> offline;
    for (const Screen& s : layout_.screens) {
        if (s.computer && !connected.contains(*s.computer)) {
            offline = s.computerName + " is offline";
            break;
        }
    }
    const bool locked = r.locked.has_value();

    if (platform_.statusItem) {
        using Symbol = StatusItem::Symbol;
        using Tint = StatusItem::Tint;
        StatusItem::Look look;
        look.symbol = sentence     ? Symbol::warning
                      : followEyes ? (locked ? Symbol::lock : Symbol::eye)
                                   : Symbol::pause;
        look.tint = (sentence || !followEyes || locked) ? Tint::warn
                    : remote                            ? Tint::live
                                                        : Tint::none;
        look.title = " " + number;
        look.tooltip = sentence.value_or("Keys and mouse on " + keysLabel);
        look.description = sentence.value_or("Helmvantor");
        platform_.statusItem->show(look);
    }

    const double now = mediaNow();
    feed.setSeen(now - lastFaceAt < 2.0);

    MenuModel::Header header;
    header.title = keysLabel == mouseLabel ? "Keys and mouse on " + keysLabel
                                           : "Keys on " + keysLabel + " · mouse on " + mouseLabel;
    if (sentence) {
        header.detail = sentence;
    } else if (offline) {
        header.detail = offline;
    } else if (locked) {
        header.detail = "Locked to this screen (" + Hotkeys::lock() + ")";
    } else if (!followEyes) {
        header.detail = "Paused: looking doesn't switch";
    }
    header.warning = sentence.has_value();
    header.paused = !followEyes;
    header.remote = remote;
    menuModel.setHeader(header);

    refreshShownSettings(); // the settings window's live look line, while it shows

    if (menu_) {
        menu_->updateToggles();
        menu_->accessItem->setVisible(accessMissing);
    }

    HUDState box;
    box.looking = picker.current ? name(*picker.current) : "—";
    box.keys = keysLabel;
    box.mouse = mouseLabel;
    box.angle = angle;
    box.camera = cameraOn;
    box.locked = locked;
    box.paused = !followEyes;
    box.held = followEyes && r.keys != r.gaze;
    box.agents = static_cast<int>(connected.size());
    box.fps = gaze_ ? static_cast<int>(gaze_->processed.load()) : 0;
    box.problem = sentence;
    if (box != hud.state()) {
        hud.setState(std::move(box));
    }
}

void App::note(const std::string& text) {
    auto now = [this] { return noteClock ? noteClock() : mediaNow(); };
    hud.setNote(text);
    noteUntil = now() + 5.0;
    refresh();
    // A newer note pushes noteUntil on; this clear then leaves it to its own.
    std::weak_ptr<int> alive = alive_;
    after(5.1, [this, alive, now] {
        if (!alive.lock() || now() < noteUntil) {
            return;
        }
        hud.setNote(std::nullopt);
        refresh();
    });
}

} // namespace helm

namespace helm {

StatusPanel& App::panel() {
    if (!panel_) {
        std::function<void(QPoint)> click;
        if (noTray()) {
            // The menu's only way in.
            click = [this](QPoint at) {
                if (menu_) {
                    menu_->menu.popup(at);
                }
            };
        }
        panel_ = std::make_unique<StatusPanel>(hud, platform_.windows.get(), std::move(click));
    }
    return *panel_;
}

bool App::noTray() {
    if (!noTray_) {
        noTray_ = platform_.statusItem && !platform_.statusItem->inTray();
    }
    return *noTray_;
}

void App::trayChanged() {
    const bool none = !platform_.statusItem->inTray();
    if (noTray_ == none) {
        return;
    }
    noTray_ = none;
    log(none ? "no tray: the menu opens from a click on the status box"
             : "tray found: the status box follows its setting");
    // The box takes clicks only while it is the way to the menu: made anew to match.
    panel_.reset();
    showPanel();
}

void App::showPanel() {
    if (simOnly_) {
        return; // the box's model still follows; nothing appears on the desk
    }
    // Without a tray the box is the way to the menu: it stays whatever the preference says.
    if (prefs.panel() || noTray()) {
        panel().front();
    } else if (panel_) {
        panel_->hide();
    }
}

} // namespace helm
