#include "app/menu/StatusMenu.h"
#include "app/menu/MenuHeader.h"
#include "app/menu/MenuModel.h"
#include "app/menu/QuickButton.h"

#include "QtApp.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QWidgetAction>

#include <gtest/gtest.h>

namespace helm {
namespace {

std::vector<std::string> texts(const QMenu& menu) {
    std::vector<std::string> out;
    for (QAction* a : menu.actions()) {
        out.push_back(a->isSeparator() ? "--" : a->text().toStdString());
    }
    return out;
}

QAction* find(const QMenu& menu, const std::string& text) {
    for (QAction* a : menu.actions()) {
        if (a->text().toStdString() == text) {
            return a;
        }
    }
    return nullptr;
}

Screen screen(int n, std::optional<std::string> pc, std::string pcName, std::string name) {
    Screen s;
    s.number = n;
    s.id = pc.value_or("mac") + "/" + std::to_string(n);
    s.computer = std::move(pc);
    s.computerName = std::move(pcName);
    s.name = std::move(name);
    return s;
}

// A menu over recorded callbacks and a small desk: setups Home and Work (Work in use), ten
// screens of which 3 belongs to the offline PC "den", the rest to this computer and "pc".
struct Fixture {
    MenuModel model;
    std::vector<std::string> done;
    std::unique_ptr<StatusMenu> m;

    explicit Fixture(bool widgets = true) {
        qtApp();
        MenuActions a;
        auto rec = [this](std::string what) { return [this, what] { done.push_back(what); }; };
        a.refresh = rec("refresh");
        a.calibrate = rec("calibrate");
        a.pause = rec("pause");
        a.settings = rec("settings");
        a.reset = rec("reset");
        a.unstick = rec("unstick");
        a.toggleLock = rec("lock");
        a.locked = [] { return true; };
        a.setups = [] { return std::vector<std::string>{"Home", "Work"}; };
        a.activeSetup = [] { return std::string("Work"); };
        a.useSetup = [this](const std::string& n) { done.push_back("use " + n); };
        a.manageSetups = rec("manage");
        a.openDesk = rec("desk");
        a.quit = rec("quit");
        a.screens = [] {
            std::vector<Screen> s;
            for (int n = 1; n <= 10; ++n) {
                s.push_back(n == 3   ? screen(3, "den", "Den PC", "Left")
                            : n == 2 ? screen(2, "pc", "Office", "Wide")
                                     : screen(n, std::nullopt, "This computer", "Built-in"));
            }
            return s;
        };
        a.connected = [] { return std::set<std::string>{"pc"}; };
        a.gaze = [] { return std::string("pc/2"); };
        a.jumpTo = [this](int n) { done.push_back("jump " + std::to_string(n)); };
        m = buildMenu(model, a, widgets);
    }
};

TEST(StatusMenu, HasItsFourteenItemsInOrder) {
    Fixture f;
    std::vector<std::string> want = {
        "", "Allow keyboard and mouse control\u2026", "--", "Setup", "Jump to screen", "--",
        // keys in the shortcut column, as every item's
        "Lock to this screen\tSuper+Alt+L", "Camera on\tSuper+Alt+P", "Unstick keys and mouse",
        "--", "Screens\u2026", "Setup guide\u2026", "--", "Quit Helmvantor"};
    EXPECT_EQ(want, texts(f.m->menu));
    EXPECT_NE(nullptr, qobject_cast<QWidgetAction*>(f.m->menu.actions()[0]));
    EXPECT_FALSE(f.m->accessItem->isVisible());
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_D), find(f.m->menu, "Screens\u2026")->shortcut());
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_Q), find(f.m->menu, "Quit Helmvantor")->shortcut());
}

// The keys the items show work while the menu is open, the only time it has the keyboard.
TEST(StatusMenu, ItemKeysWorkWhileTheMenuIsOpen) {
    const std::pair<QKeyCombination, std::vector<std::string>> cases[] = {
        {Qt::CTRL | Qt::Key_D, {"desk", "refresh"}},
        {Qt::CTRL | Qt::Key_Q, {"quit", "refresh"}},
        {Qt::CTRL | Qt::Key_K, {}},
    };
    for (const auto& [keys, done] : cases) {
        Fixture f;
        QKeyEvent press(QEvent::KeyPress, keys.key(), keys.keyboardModifiers());
        QCoreApplication::sendEvent(&f.m->menu, &press);
        EXPECT_EQ(done, f.done) << QKeySequence(keys).toString().toStdString();
    }
}

TEST(StatusMenu, OpeningRefreshesAndNamesTheSetup) {
    Fixture f;
    emit f.m->menu.aboutToShow();
    EXPECT_EQ(std::vector<std::string>{"refresh"}, f.done);
    EXPECT_EQ("Setup: Work", f.m->setupItem->text().toStdString());
    EXPECT_TRUE(f.m->toggles[0].first->isChecked()); // locked
    EXPECT_FALSE(f.m->toggles[1].first->isChecked());

    find(f.m->menu, "Lock to this screen\tSuper+Alt+L")->trigger();
    EXPECT_EQ((std::vector<std::string>{"refresh", "lock", "refresh"}), f.done);
}

TEST(StatusMenu, SetupSubmenuListsSetupsAndIsRebuiltEachOpening) {
    Fixture f;
    for (int i = 0; i < 2; ++i) {
        emit f.m->setupMenu.aboutToShow();
    }
    EXPECT_EQ(
        (std::vector<std::string>{"Home", "Work", "--", "New setup\u2026", "Manage setups\u2026"}),
        texts(f.m->setupMenu));
    EXPECT_FALSE(find(f.m->setupMenu, "Home")->isChecked());
    EXPECT_TRUE(find(f.m->setupMenu, "Work")->isChecked());
    f.done.clear();
    find(f.m->setupMenu, "Home")->trigger();
    find(f.m->setupMenu, "Manage setups\u2026")->trigger();
    EXPECT_EQ((std::vector<std::string>{"use Home", "refresh", "manage", "refresh"}), f.done);
}

TEST(StatusMenu, JumpSubmenuLabelsEveryScreen) {
    Fixture f;
    emit f.m->jumpMenu.aboutToShow();
    std::vector<std::string> got = texts(f.m->jumpMenu);
    ASSERT_EQ(10u, got.size());
    struct Case {
        int index;
        std::string text;
        bool checked;
    } cases[] = {
        {0, "1 \u00b7 This computer \u00b7 Built-in\tSuper+Alt+1", false},
        {1, "2 \u00b7 Office \u00b7 Wide\tSuper+Alt+2", true},
        {2, "3 \u00b7 Den PC \u00b7 Left  (not connected)\tSuper+Alt+3", false},
        {9, "10 \u00b7 This computer \u00b7 Built-in", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.text, got[c.index]);
        EXPECT_EQ(c.checked, f.m->jumpMenu.actions()[c.index]->isChecked()) << c.text;
    }
    f.done.clear();
    f.m->jumpMenu.actions()[2]->trigger();
    EXPECT_EQ((std::vector<std::string>{"jump 3", "refresh"}), f.done);
}

TEST(StatusMenu, HeaderButtonsRunAfterTheMenuClosed) {
    Fixture f;
    f.m->menu.show();
    MenuHeader* header = qobject_cast<MenuHeader*>(
        qobject_cast<QWidgetAction*>(f.m->menu.actions()[0])->defaultWidget());
    ASSERT_NE(nullptr, header);
    for (int i : {1, 0}) { // Calibrate, then Pause
        header->button(i).click();
    }
    EXPECT_FALSE(f.m->menu.isVisible());
    EXPECT_TRUE(f.done.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ((std::vector<std::string>{"calibrate", "refresh", "pause", "refresh"}), f.done);
}

TEST(StatusMenu, HeaderGrowsWithItsDetailLine) {
    Fixture f;
    f.m->menu.show();
    QWidget* header = qobject_cast<QWidgetAction*>(f.m->menu.actions()[0])->defaultWidget();
    const int plain = header->height();
    for (std::optional<std::string> detail : {std::optional<std::string>("Too far from the "
                                                                         "camera"),
                                              std::optional<std::string>()}) {
        f.model.setHeader({"Keys and mouse on 1 \u00b7 This computer", detail, detail.has_value()});
        QCoreApplication::processEvents();
        EXPECT_EQ(header->height(), header->sizeHint().height()) << detail.value_or("none");
        EXPECT_EQ(detail.has_value(), header->height() > plain);
    }
}

TEST(StatusMenu, PlainTextHeaderFollowsTheModelAndKeepsItsButtons) {
    Fixture f(false);
    EXPECT_FALSE(f.m->titleItem->isEnabled());
    EXPECT_FALSE(f.m->detailItem->isVisible());
    f.model.setHeader(
        {"Keys on 1 \u00b7 A \u00b7 mouse on 2 \u00b7 B", "Den PC is offline", false, true});
    std::vector<std::string> got = texts(f.m->menu);
    ASSERT_EQ(19u, got.size());
    EXPECT_EQ((std::vector<std::string>{"Keys on 1 \u00b7 A \u00b7 mouse on 2 \u00b7 B",
                                        "Den PC is offline", "Resume", "Calibrate", "Settings",
                                        "Reset", "Allow keyboard and mouse control\u2026"}),
              std::vector<std::string>(got.begin(), got.begin() + 7));
    EXPECT_TRUE(f.m->detailItem->isVisible());
    // The tray draws the keys from the items' shortcuts, the hotkeys' among them.
    EXPECT_EQ(QKeySequence(Qt::META | Qt::ALT | Qt::Key_L),
              find(f.m->menu, "Lock to this screen")->shortcut());
    f.model.setHeader({"t", std::nullopt});
    EXPECT_EQ("Pause", texts(f.m->menu)[2]);

    // Each runs its button's work after the menu closed, then the refresh.
    f.m->menu.show();
    for (const char* item : {"Pause", "Calibrate", "Settings", "Reset"}) {
        find(f.m->menu, item)->trigger();
    }
    EXPECT_FALSE(f.m->menu.isVisible());
    EXPECT_TRUE(f.done.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ((std::vector<std::string>{"pause", "refresh", "calibrate", "refresh", "settings",
                                        "refresh", "reset", "refresh"}),
              f.done);
}

TEST(MenuHeader, FollowsWarningPauseAndDetail) {
    qtApp();
    MenuModel model;
    MenuHeader header(model);
    struct Case {
        MenuModel::Header h;
        std::string symbol;
        std::string first;
    } cases[] = {
        {{"t", "Can't see you", true, true, false}, "exclamationmark.triangle.fill", "Resume"},
        {{"t", std::nullopt, false, true, true}, "pause.circle.fill", "Resume"},
        {{"t", std::nullopt, false, false, true}, "eye.fill", "Pause"},
    };
    for (const Case& c : cases) {
        model.setHeader(c.h);
        EXPECT_EQ(c.symbol, header.symbol());
        EXPECT_EQ(c.first, header.button(0).text().toStdString());
        EXPECT_EQ(c.h.detail.has_value(), !header.detail().isHidden());
    }
}

} // namespace
} // namespace helm
