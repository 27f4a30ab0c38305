#include "AppFixture.h"
#include "app/menu/StatusMenu.h"
#include "platform/sim/RecordingStatusItem.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QTest>

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

// Each case's setup is a list of words: "mouse-pc" (mouse focus on the PC), "unknown" (both
// foci on an id not in the layout), "problem", "lock", "pause", "+pc2"/"+pc3" (a screen of a PC
// that is not connected, in that order).
TEST_F(AppStatusTest, TitleDetailSymbolAndTint) {
    const std::string both = "Keys and mouse on 1 · Left";
    const std::string lockLine = "Locked to this screen (Super+Alt+L)";
    struct Case {
        std::string set;
        std::string title;
        std::optional<std::string> detail;
        Symbol symbol;
        Tint tint;
        std::string number;
    } cases[] = {
        {"", both, std::nullopt, Symbol::eye, Tint::none, " 1"},
        {"mouse-pc", "Keys on 1 · Left · mouse on 2 · Wide", std::nullopt, Symbol::eye, Tint::live,
         " 1"},
        {"unknown", "Keys and mouse on gone/z", std::nullopt, Symbol::eye, Tint::none, " ?"},
        {"problem lock pause +pc2", both, "No network.", Symbol::warning, Tint::warn, " 1"},
        {"lock pause", both, lockLine, Symbol::pause, Tint::warn, " 1"},
        {"lock", both, lockLine, Symbol::lock, Tint::warn, " 1"},
        {"pause", both, "Paused: looking doesn't switch", Symbol::pause, Tint::warn, " 1"},
        {"lock +pc3 +pc2", both, "PC pc3 is offline", Symbol::lock, Tint::warn, " 1"},
    };
    for (const Case& c : cases) {
        auto has = [&c](const char* word) { return c.set.find(word) != std::string::npos; };
        std::vector<Screen> more;
        for (const char* pc : {"pc3", "pc2"}) {
            if (has((std::string("+") + pc).c_str())) {
                more.push_back(screen(std::string(pc) + "/y", pc[2] - '0' + 1, pc));
            }
        }
        auto app = desk(more);
        if (has("mouse-pc")) {
            app->router().mouse = "pc1/x";
        }
        if (has("unknown")) {
            app->router().keys = app->router().mouse = "gone/z";
        }
        if (has("problem")) {
            app->problem = "No network.";
        }
        if (has("lock")) {
            app->router().toggleLock(0);
        }
        app->followEyes = !has("pause");
        app->refresh();
        const MenuModel::Header& h = app->menuModel.header();
        EXPECT_EQ(c.title, h.title) << c.set;
        EXPECT_EQ(c.detail, h.detail) << c.set;
        EXPECT_EQ(has("problem"), h.warning) << c.set;
        ASSERT_TRUE(item->shown()) << c.set;
        EXPECT_EQ(c.symbol, item->shown()->symbol) << c.set;
        EXPECT_EQ(c.tint, item->shown()->tint) << c.set;
        EXPECT_EQ(c.number, item->shown()->title) << c.set;
        EXPECT_EQ(app->problem.value_or("Keys and mouse on " + app->name(app->router().keys)),
                  item->shown()->tooltip)
            << c.set;
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
    item(m.menu, "Lock to this screen\tSuper+Alt+L")->trigger();
    EXPECT_EQ("mac/a", app->router().locked);
    EXPECT_TRUE(m.toggles[0].first->isChecked());
    item(m.menu, "Unstick keys and mouse")->trigger();
    EXPECT_FALSE(app->router().locked);
    EXPECT_FALSE(m.toggles[0].first->isChecked());
    EXPECT_EQ("Keys and mouse released everywhere.", app->hud.note());

    emit m.jumpMenu.aboutToShow();
    item(m.jumpMenu, "2 · PC pc1 · Wide\tSuper+Alt+2")->trigger();
    EXPECT_EQ("pc1/x", app->router().keys);

    // A header button does its work after the menu has closed, on a later turn.
    app->menuModel.onPause();
    EXPECT_TRUE(app->followEyes);
    QCoreApplication::processEvents();
    EXPECT_FALSE(app->followEyes);
    EXPECT_EQ("Paused: looking doesn't switch", app->menuModel.header().detail);
}

} // namespace

TEST_F(AppStatusTest, WithoutATrayTheStatusBoxStaysAndItsClickOpensTheMenu) {
    for (bool tray : {true, false}) {
        SCOPED_TRACE(tray ? "a tray" : "no tray");
        Platform p = simPlatform();
        auto* recording = new RecordingStatusItem;
        recording->tray = tray;
        p.statusItem.reset(recording);
        auto app = make({"--no-camera"}, std::move(p)); // the preference leaves the box off
        app->buildMenu();
        app->showPanel();
        EXPECT_EQ(!tray, wasLogged("no tray: the menu opens from a click on the status box"));
        ASSERT_EQ(!tray, app->panel_ && app->panel_->isVisible());
        if (!tray) {
            QTest::mouseClick(app->panel_->content(), Qt::LeftButton, {}, QPoint(20, 20));
            EXPECT_TRUE(app->menu()->menu.isVisible());
            app->menu()->menu.hide();
        }
    }
}
