#include "app/menu/StatusMenu.h"

#include "app/menu/MenuHeader.h"
#include "app/menu/MenuModel.h"
#include "input/Hotkeys.h"
#include "ui/DarkPalette.h"

#include <QActionEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QStyleFactory>
#include <QWidgetAction>

namespace helm {

namespace {

// Qt serves no item's shortcut inside an open popup, and an open popup is the only time the
// tray's menu has the keyboard: the keys the items show are served here.
class ItemKeys : public QObject {
public:
    explicit ItemKeys(QMenu& menu) : QObject(&menu), menu_(menu) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::KeyPress) {
            return false;
        }
        const QKeySequence pressed(static_cast<QKeyEvent*>(e)->keyCombination());
        for (QAction* a : menu_.actions()) {
            if (a->isVisible() && a->isEnabled() && !a->shortcut().isEmpty() &&
                a->shortcut() == pressed) {
                menu_.hide();
                a->trigger();
                return true;
            }
        }
        return false;
    }

private:
    QMenu& menu_;
};

} // namespace

QAction* StatusMenu::action(QMenu& in, const QString& title, const QKeySequence& key,
                            std::function<void()> f) {
    QAction* a = in.addAction(title);
    a->setShortcut(key);
    QObject::connect(a, &QAction::triggered, &menu, [this, f = std::move(f)] {
        f();
        actions_.refresh();
    });
    return a;
}

QAction* StatusMenu::toggle(const QString& title, std::function<bool()> state,
                            std::function<void()> f) {
    QAction* a = action(menu, title, {}, std::move(f));
    a->setCheckable(true);
    toggles.emplace_back(a, std::move(state));
    return a;
}

void StatusMenu::updateToggles() {
    for (auto& [item, state] : toggles) {
        item->setChecked(state());
    }
}

void StatusMenu::showHotkey(QAction* item, const QString& title, const std::string& keys) {
    if (keys.empty()) {
        item->setText(title);
    } else if (widgets_) {
        item->setText(title + '\t' + QString::fromStdString(keys));
    } else {
        item->setText(title);
        // Qt's word for the key is Meta; the tray's menu protocol says Super again.
        QString portable = QString::fromStdString(keys);
        portable.replace(QLatin1String("Super"), QLatin1String("Meta"));
        item->setShortcut(QKeySequence::fromString(portable, QKeySequence::PortableText));
    }
}

QString StatusMenu::jumpTitle(const Screen& s, bool offline) {
    std::string t = std::to_string(s.number) + " \u00b7 " + s.computerName + " \u00b7 " + s.name;
    if (offline) {
        t += "  (not connected)";
    }
    return QString::fromStdString(t);
}

QPalette StatusMenu::palette() {
    return darkPalette();
}

QColor StatusMenu::ground() {
    // Fusion paints a menu in its palette's base colour, a shade lighter.
    return palette().color(QPalette::Base).lighter(108);
}

void StatusMenu::menuNeedsUpdate(QMenu& which) {
    actions_.refresh();
    updateToggles();
    if (&which == &menu) {
        setupItem->setText(QString::fromStdString("Setup: " + actions_.activeSetup()));
    } else if (&which == &setupMenu) {
        fillSetups();
    } else {
        fillJumps();
    }
}

void StatusMenu::fillSetups() {
    setupMenu.clear();
    std::string active = actions_.activeSetup();
    for (const std::string& name : actions_.setups()) {
        QAction* a = action(setupMenu, QString::fromStdString(name), {},
                            [this, name] { actions_.useSetup(name); });
        a->setCheckable(true);
        a->setChecked(name == active);
    }
    setupMenu.addSeparator();
    action(setupMenu, "New setup\u2026", {}, actions_.newSetup);
    action(setupMenu, "Manage setups\u2026", {}, actions_.manageSetups);
}

void StatusMenu::fillJumps() {
    jumpMenu.clear();
    std::set<std::string> connected = actions_.connected();
    std::string gaze = actions_.gaze();
    for (const Screen& s : actions_.screens()) {
        bool offline = !s.local() && !connected.contains(*s.computer);
        int number = s.number;
        QAction* a = action(jumpMenu, {}, {}, [this, number] { actions_.jumpTo(number); });
        showHotkey(a, jumpTitle(s, offline), Hotkeys::jump(s.number));
        a->setCheckable(true);
        a->setChecked(s.id == gaze);
    }
}

std::unique_ptr<StatusMenu> buildMenu(MenuModel& model, MenuActions actions, bool widgets) {
    auto m = std::make_unique<StatusMenu>();
    StatusMenu* sm = m.get();
    sm->actions_ = std::move(actions);
    sm->widgets_ = widgets;
    MenuActions& a = sm->actions_;
    QMenu& menu = sm->menu;
    // The desktop's theme may be light (openbox, a bare X session): the menu is drawn in the
    // program's own colours, as every window and the menu's picture are.
    sm->style_.reset(QStyleFactory::create(QStringLiteral("Fusion")));
    for (QMenu* which : {&sm->menu, &sm->setupMenu, &sm->jumpMenu}) {
        if (sm->style_) {
            which->setStyle(sm->style_.get());
        }
        which->setPalette(StatusMenu::palette());
    }

    // A header button closes the menu first; its work and the refresh come on a later turn.
    auto later = [sm](std::function<void()> f) {
        return [sm, f = std::move(f)] {
            sm->menu.hide();
            QMetaObject::invokeMethod(
                &sm->menu,
                [sm, f] {
                    f();
                    sm->actions_.refresh();
                },
                Qt::QueuedConnection);
        };
    };
    model.onPause = later(a.pause);
    model.onCalibrate = later(a.calibrate);
    model.onSettings = later(a.settings);
    model.onReset = later(a.reset);

    if (widgets) {
        auto* header = new QWidgetAction(&menu);
        auto* view = new MenuHeader(model);
        view->resize(view->sizeHint());
        header->setDefaultWidget(view);
        menu.addAction(header);
        // The menu keeps the height each item had when it was laid out: when a detail line
        // comes or goes, it is told that the header changed, so the header keeps its margins.
        QObject::connect(&model, &MenuModel::changed, &menu,
                         [&menu, header, view, height = view->height()]() mutable {
                             if (view->sizeHint().height() != height) {
                                 height = view->sizeHint().height();
                                 QActionEvent changed(QEvent::ActionChanged, header);
                                 QCoreApplication::sendEvent(&menu, &changed);
                             }
                         });
    } else {
        sm->titleItem = menu.addAction(QString());
        sm->detailItem = menu.addAction(QString());
        sm->titleItem->setEnabled(false);
        sm->detailItem->setEnabled(false);
        // The header's buttons as ordinary items: Pause and Reset have no other way in.
        QAction* pause = menu.addAction(QString());
        QObject::connect(pause, &QAction::triggered, &menu, [&model] { model.onPause(); });
        for (auto [title, call] : {std::pair{"Calibrate", &MenuModel::onCalibrate},
                                   std::pair{"Settings", &MenuModel::onSettings},
                                   std::pair{"Reset", &MenuModel::onReset}}) {
            QObject::connect(menu.addAction(title), &QAction::triggered, &menu,
                             [&model, on = call] { (model.*on)(); });
        }
        auto follow = [sm, pause, &model] {
            const MenuModel::Header& h = model.header();
            sm->titleItem->setText(QString::fromStdString(h.title));
            sm->detailItem->setText(QString::fromStdString(h.detail.value_or("")));
            sm->detailItem->setVisible(h.detail.has_value());
            pause->setText(h.paused ? "Resume" : "Pause");
        };
        QObject::connect(&model, &MenuModel::changed, &menu, follow);
        follow();
    }

    sm->accessItem = sm->action(menu, "Allow keyboard and mouse control\u2026", {}, a.askAccess);
    sm->accessItem->setVisible(false);
    menu.addSeparator();
    sm->setupItem = menu.addMenu(&sm->setupMenu);
    sm->setupItem->setText("Setup");
    sm->jumpMenu.setTitle("Jump to screen");
    menu.addMenu(&sm->jumpMenu);
    menu.addSeparator();
    sm->showHotkey(sm->toggle({}, a.locked, a.toggleLock), "Lock to this screen", Hotkeys::lock());
    sm->showHotkey(sm->toggle({}, a.cameraOn, a.toggleCamera), "Camera on", Hotkeys::camera());
    sm->action(menu, "Unstick keys and mouse", {}, a.unstick);
    menu.addSeparator();
    sm->action(menu, "Screens\u2026", QKeySequence(Qt::CTRL | Qt::Key_D), a.openDesk);
    sm->action(menu, "Setup guide\u2026", {}, a.openGuide);
    menu.addSeparator();
    sm->action(menu, "Quit Helmvantor", QKeySequence(Qt::CTRL | Qt::Key_Q), a.quit);

    menu.installEventFilter(new ItemKeys(menu));

    for (QMenu* which : {&sm->menu, &sm->setupMenu, &sm->jumpMenu}) {
        QObject::connect(which, &QMenu::aboutToShow, which,
                         [sm, which] { sm->menuNeedsUpdate(*which); });
    }
    return m;
}

} // namespace helm
