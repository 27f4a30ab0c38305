#include "AppFixture.h"
#include "app/menu/StatusMenu.h"
#include "platform/sim/RecordingStatusItem.h"

#include <gtest/gtest.h>

#include <QAction>

using namespace helm;

namespace {

Screen screen(const std::string& id, int number, std::optional<std::string> pc = std::nullopt) {
    Screen s;
    s.id = id;
    s.number = number;
    s.name = pc ? "Wide" : "Left";
    s.computer = std::move(pc);
    s.computerName = s.computer ? "PC " + *s.computer : "This computer";
    return s;
}

struct AppStatusTest : ::testing::Test, test::AppFixture {
    RecordingStatusItem* item = nullptr;

    // Screen 1 of this computer and screen 2 of "pc1"; more PCs' screens when asked.
    std::unique_ptr<App> desk(std::vector<Screen> more = {}) {
        Platform p = simPlatform();
        item = new RecordingStatusItem;
        p.statusItem.reset(item);
        auto app = make({"--no-camera", "--test-port"}, std::move(p));
        Layout l;
        l.screens = {screen("mac/a", 1), screen("pc1/x", 2, "pc1")};
        l.screens.insert(l.screens.end(), more.begin(), more.end());
        app->setLayout(l);
        app->connected = {"pc1"};
        return app;
    }
};

using Symbol = StatusItem::Symbol;
using Tint = StatusItem::Tint;

TEST_F(AppStatusTest, TitleDetailSymbolAndTint) {
    struct Case {
        const char* what;
        std::function<void(App&)> set;
        std::vector<Screen> more;
        std::string title;
        std::optional<std::string> detail;
        Symbol symbol;
        Tint tint;
        std::string number;
    } cases[] = {
        {"both on one screen",
         [](App&) {},
         {},
         "Keys and mouse on 1 · Left",
         std::nullopt,
         Symbol::eye,
         Tint::none,
         " 1"},
        {"on different screens",
         [](App& a) { a.router().mouse = "pc1/x"; },
         {},
         "Keys on 1 · Left · mouse on 2 · Wide",
         std::nullopt,
         Symbol::eye,
         Tint::live,
         " 1"},
        {"keys on an unknown id",
         [](App& a) {
             a.router().keys = "gone/z";
             a.router().mouse = "gone/z";
         },
         {},
         "Keys and mouse on gone/z",
         std::nullopt,
         Symbol::eye,
         Tint::none,
         " ?"},
        {"a problem outranks everything",
         [](App& a) {
             a.problem = "No network.";
             a.router().toggleLock(0);
             a.followEyes = false;
         },
         {screen("pc2/y", 3, "pc2")},
         "Keys and mouse on 1 · Left",
         "No network.",
         Symbol::warning,
         Tint::warn,
         " 1"},
        {"paused and locked",
         [](App& a) {
             a.router().toggleLock(0);
             a.followEyes = false;
         },
         {},
         "Keys and mouse on 1 · Left",
         "Locked to this screen (⌃⌥L)",
         Symbol::pause,
         Tint::warn,
         " 1"},
        {"locked",
         [](App& a) { a.router().toggleLock(0); },
         {},
         "Keys and mouse on 1 · Left",
         "Locked to this screen (⌃⌥L)",
         Symbol::lock,
         Tint::warn,
         " 1"},
        {"paused",
         [](App& a) { a.followEyes = false; },
         {},
         "Keys and mouse on 1 · Left",
         "Paused: looking doesn't switch",
         Symbol::pause,
         Tint::warn,
         " 1"},
        {"the first offline PC, before the lock",
         [](App& a) { a.router().toggleLock(0); },
         {screen("pc3/z", 4, "pc3"), screen("pc2/y", 3, "pc2")},
         "Keys and mouse on 1 · Left",
         "PC pc3 is offline",
         Symbol::lock,
         Tint::warn,
         " 1"},
    };
    for (const Case& c : cases) {
        auto app = desk(c.more);
        c.set(*app);
        app->refresh();
        const MenuModel::Header& h = app->menuModel.header();
        EXPECT_EQ(c.title, h.title) << c.what;
        EXPECT_EQ(c.detail, h.detail) << c.what;
        EXPECT_EQ(app->problem.has_value(), h.warning) << c.what;
        ASSERT_TRUE(item->shown()) << c.what;
        EXPECT_EQ(c.symbol, item->shown()->symbol) << c.what;
        EXPECT_EQ(c.tint, item->shown()->tint) << c.what;
        EXPECT_EQ(c.number, item->shown()->title) << c.what;
        EXPECT_EQ(app->problem.value_or("Keys and mouse on " + app->name(app->router().keys)),
                  item->shown()->tooltip)
            << c.what;
    }
}

TEST_F(AppStatusTest, EqualRefreshesDrawTheItemOnceAndTheBoxFollows) {
    auto app = desk();
    app->picker.current = "pc1/x";
    app->router().gaze = "pc1/x";
    app->refresh();
    app->refresh();
    EXPECT_EQ(1u, item->drawn.size());
    const HUDState& box = app->hud.state();
    EXPECT_EQ("2 · Wide", box.looking);
    EXPECT_EQ("1 · Left", box.keys);
    EXPECT_TRUE(box.held) << "keyboard focus is not where the user looks";
    EXPECT_EQ(1, box.agents);
}

TEST_F(AppStatusTest, ANoteStaysUntilItsOwnClear) {
    auto app = desk();
    double now = 0;
    std::vector<std::pair<double, std::function<void()>>> clears;
    app->noteClock = [&] { return now; };
    app->later = [&](double secs, std::function<void()> f) {
        clears.emplace_back(now + secs, std::move(f));
    };
    app->note("first");
    now = 3;
    app->note("second");
    ASSERT_EQ(2u, clears.size());
    now = clears[0].first;
    clears[0].second();
    EXPECT_EQ("second", app->hud.note()) << "the newer note is still due";
    now = clears[1].first;
    clears[1].second();
    EXPECT_FALSE(app->hud.note());
}

TEST_F(AppStatusTest, TheMenuRunsTheApplicationsOperations) {
    auto app = desk();
    app->buildMenu();
    StatusMenu& m = *app->menu();
    emit m.menu.aboutToShow();
    EXPECT_EQ("Keys and mouse on 1 · Left", app->menuModel.header().title);
    EXPECT_EQ("Setup: Home", m.setupItem->text().toStdString());

    auto item = [&m](QMenu& menu, const std::string& text) -> QAction* {
        for (QAction* a : menu.actions()) {
            if (a->text().toStdString() == text) {
                return a;
            }
        }
        return nullptr;
    };
    item(m.menu, "Lock to this screen   ⌃⌥L")->trigger();
    EXPECT_EQ("mac/a", app->router().locked);
    EXPECT_TRUE(m.toggles[0].first->isChecked());
    item(m.menu, "Unstick keys and mouse")->trigger();
    EXPECT_FALSE(app->router().locked);
    EXPECT_FALSE(m.toggles[0].first->isChecked());
    EXPECT_EQ("Keys and mouse released everywhere.", app->hud.note());

    emit m.jumpMenu.aboutToShow();
    item(m.jumpMenu, "2 · PC pc1 · Wide   ⌃⌥2")->trigger();
    EXPECT_EQ("pc1/x", app->router().keys);

    // A header button does its work after the menu has closed, on a later turn.
    app->menuModel.onPause();
    EXPECT_TRUE(app->followEyes);
    QCoreApplication::processEvents();
    EXPECT_FALSE(app->followEyes);
    EXPECT_EQ("Paused: looking doesn't switch", app->menuModel.header().detail);
}

} // namespace
