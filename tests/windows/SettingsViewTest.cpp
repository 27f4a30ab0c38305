#include "windows/SettingsView.h"

#include "DeskSample.h"
#include "SettingsFixture.h"
#include "desk/Defaults.h"
#include "platform/Paths.h"
#include "windows/ComputerRow.h"
#include "windows/ComputersPage.h"
#include "windows/JumpGallery.h"
#include "windows/JumpPage.h"
#include "windows/Segmented.h"
#include "windows/SettingsKit.h"
#include "windows/SettingsPage.h"
#include "windows/SettingsRow.h"
#include "windows/SetupRow.h"
#include "windows/SetupsPage.h"
#include "windows/SidebarRow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace helm {
namespace {

using test::Fixture;

TEST(SettingsView, SidebarTabsAndAnUnknownTab) {
    Fixture f;
    std::vector<std::string> tabs;
    f.model.onTab = [&](const std::string& t) { tabs.push_back(t); };
    f.open("general");
    std::vector<std::string> titles;
    for (SidebarRow* r : f.view->sidebar()) {
        titles.push_back(r->text().toStdString());
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"General", "Switching", "Head and eyes",
                                                "Mouse jump", "Camera & privacy", "Clipboard",
                                                "Shortcuts", "Computers", "Setups"}));
    tabs.clear();
    QTest::mouseClick(f.view->sidebar()[0], Qt::LeftButton); // the open tab, again
    QTest::mouseClick(f.view->sidebar()[8], Qt::LeftButton);
    EXPECT_EQ(tabs, (std::vector<std::string>{"general", "setups"}));
    EXPECT_EQ(f.view->heading(), "Setups");

    f.model.setTab("nonsense");
    EXPECT_EQ(f.view->heading(), "");
    EXPECT_EQ(f.view->page(), nullptr);
    for (SidebarRow* r : f.view->sidebar()) {
        EXPECT_FALSE(r->selected()) << r->id();
    }
}

TEST(SettingsView, EachPagesRows) {
    const std::string shortcut = "Never sent to the other computer.";
    struct Case {
        const char* tab;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {"general",
         {"Start Helmvantor when you log in", "Floating panel", "Sounds", "Spoken instructions",
          "Reset to defaults"}},
        {"switching",
         {"How quickly it switches", "Use every computer's keyboard and mouse",
          "Mouse jumps to the monitor", "Mouse speed on your PCs", "Mouse-to-edge backup"}},
        {"tracking", {}},
        {"jump", {}},
        {"camera",
         {"Record a test session", "Camera turns off when you leave", "Pause the camera"}},
        {"clipboard", {"Text", "Pictures", "Files", "Files from your PCs go to"}},
        {"shortcuts", {"Lock to the screen you're on", "Camera on or off", "Jump to screen 1–9"}},
        {"computers", {"Only connect over Tailscale", "Start over with a new secret"}},
        {"setups", {}},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.open(c.tab);
        EXPECT_EQ(f.titles(), c.rows) << c.tab;
        EXPECT_EQ(f.writes, 0) << c.tab << ": opening a page writes nothing";
    }
    Fixture f;
    f.open("shortcuts");
    EXPECT_TRUE(f.reads("Super+Alt+1 … Super+Alt+9"));
}

TEST(SettingsView, StoredValuesShownAsTheyAreWithoutWrites) {
    struct Case {
        const char* name;
        const char* tab;
        std::function<void(Prefs&)> set;
        std::function<void(Fixture&)> check;
    };
    auto segment = [](Fixture& f) { return f.all<Segmented>().front()->selected(); };
    const Case cases[] = {
        {"speed 7 selects no segment", "switching", [](Prefs& p) { p.setSpeed(7); },
         [&](Fixture& f) { EXPECT_EQ(segment(f), -1); }},
        {"speed 2 is Steady", "switching", [](Prefs& p) { p.setSpeed(2); },
         [&](Fixture& f) { EXPECT_EQ(segment(f), 2); }},
        {"mouse speed help", "switching", [](Prefs& p) { p.setPcPointer(2.0); },
         [](Fixture& f) {
             EXPECT_EQ(f.view->page()->rows()[3]->help().toStdString(),
                       "2.0× this computer's speed. Windows adds its own acceleration, so match "
                       "it here.");
             EXPECT_EQ(f.all<QSlider>().front()->value(), 20);
         }},
        {"a mix of 0.33 stays", "tracking", [](Prefs& p) { p.setEyeMix(0.33); },
         [&](Fixture& f) {
             EXPECT_EQ(segment(f), -1);
             EXPECT_TRUE(f.reads("33%"));
         }},
        {"a mix of 0.5 is head and eyes", "tracking", [](Prefs& p) { p.setEyeMix(0.5); },
         [&](Fixture& f) {
             EXPECT_EQ(segment(f), 1);
             EXPECT_TRUE(f.reads("50%"));
         }},
        {"percent never rounds up", "tracking", [](Prefs& p) { p.setEyeMix(0.2999); },
         [](Fixture& f) { EXPECT_TRUE(f.reads("29%")); }},
        {"a mix of 0.55 selects no segment", "tracking", [](Prefs& p) { p.setEyeMix(0.55); },
         [&](Fixture& f) {
             EXPECT_EQ(segment(f), -1);
             EXPECT_TRUE(f.reads("55%"));
         }},
    };
    for (const Case& c : cases) {
        Fixture f;
        c.set(f.prefs);
        f.writes = 0;
        f.open(c.tab);
        c.check(f);
        EXPECT_EQ(f.writes, 0) << c.name;
    }
}

TEST(SettingsView, AChangeInTheStoreShowsAtOnceWithoutAWrite) {
    Fixture f;
    f.open("general");
    auto* panel = dynamic_cast<SettingsSwitch*>(f.view->page()->rows()[1]->control());
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isChecked());
    f.prefs.setPanel(true); // from elsewhere, as a reset would
    EXPECT_TRUE(panel->isChecked());
    EXPECT_EQ(f.writes, 1);
    QTest::mouseClick(panel, Qt::LeftButton); // the user: one write
    EXPECT_FALSE(f.prefs.panel());
    EXPECT_EQ(f.writes, 2);
}

TEST(SettingsView, LoginMessageShowsOnlyWhenPresent) {
    Fixture f;
    f.open("general");
    EXPECT_FALSE(f.reads("The desktop didn't allow it: no login items here"));
    EXPECT_EQ(f.titles().size(), 5u);
    // Without a login item every change is refused and the switch stays off.
    auto* login = dynamic_cast<SettingsSwitch*>(f.view->page()->rows()[0]->control());
    QTest::mouseClick(login, Qt::LeftButton);
    EXPECT_FALSE(login->isChecked());
    EXPECT_TRUE(f.reads("The desktop didn't allow it: no login items here"));
}

TEST(SettingsView, CameraPageHeadLine) {
    struct Case {
        std::optional<Angle> angle;
        const char* want;
    };
    const Case cases[] = {
        {Angle{0, 0}, "Head 0° right, 0° up"},
        {Angle{-12.4, 3.6}, "Head 12° left, 4° up"},
        {Angle{20, -7}, "Head 20° right, 7° down"},
        {std::nullopt, "No face seen"},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.model.setAngle(c.angle);
        f.open("camera");
        EXPECT_TRUE(f.reads(c.want)) << c.want;
    }
}

TEST(SettingsView, JumpPageChoices) {
    auto recipes = [](int n) {
        std::vector<JumpRecipe> out(n);
        for (int i = 0; i < n; ++i) {
            out[i].id = "r" + std::to_string(i + 1);
            out[i].name = "Recipe " + std::to_string(i + 1);
        }
        return out;
    };
    struct Case {
        const char* name;
        int recipes;
        const char* jumpId;
        bool offEnabled;
        bool tryShown;
        int chosenTiles;
    };
    const Case cases[] = {
        {"off", 3, "off", false, false, 0},           {"a known recipe", 3, "r2", true, true, 1},
        {"an unknown id", 3, "gone", true, false, 0}, {"no recipes", 0, "glide", true, false, 0},
        {"more than nine", 11, "r11", true, true, 1},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.model.jumps = recipes(c.recipes);
        f.prefs.setJumpId(c.jumpId);
        auto* page = dynamic_cast<JumpPage*>(f.open("jump"));
        ASSERT_NE(page, nullptr);
        QPushButton *off = nullptr, *tryIt = nullptr;
        for (QPushButton* b : f.all<QPushButton>()) {
            (b->text() == "Off" ? off : b->text() == "Try it" ? tryIt : b) = b;
        }
        EXPECT_EQ(off->isEnabled(), c.offEnabled) << c.name;
        EXPECT_EQ(!tryIt->isHidden(), c.tryShown) << c.name;
        const auto& tiles = page->gallery()->tiles();
        EXPECT_EQ(static_cast<int>(tiles.size()), c.recipes) << c.name;
        EXPECT_EQ(
            std::count_if(tiles.begin(), tiles.end(), [](JumpTile* t) { return t->chosen(); }),
            c.chosenTiles)
            << c.name;
        if (c.recipes > 9) {
            EXPECT_TRUE(tiles[9]->text().startsWith("10\t")) << c.name;
            EXPECT_TRUE(tiles[0]->text().startsWith("01\t")) << c.name;
        }
    }
    EXPECT_EQ(JumpGallery::columns(100), 1);
    EXPECT_EQ(JumpGallery::columns(312), 2);
    EXPECT_EQ(JumpGallery::columns(311), 1);
}

TEST(SettingsView, SetupRows) {
    struct Case {
        const char* name;
        std::vector<std::string> setups;
        // per row: in use shown, Use shown, trash shown
        std::vector<std::array<bool, 3>> want;
    };
    const Case cases[] = {
        {"only one", {"Home"}, {{true, false, false}}},
        {"two", {"Home", "Work"}, {{true, false, true}, {false, true, true}}},
        {"a repeated name, never merged",
         {"Home", "Work", "Work"},
         {{true, false, true}, {false, true, true}, {false, true, true}}},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.model.setSetups(c.setups);
        auto* page = dynamic_cast<SetupsPage*>(f.open("setups"));
        ASSERT_EQ(page->setupRows().size(), c.want.size()) << c.name;
        for (std::size_t i = 0; i < c.want.size(); ++i) {
            SetupRow* r = page->setupRows()[i];
            EXPECT_EQ(!r->inUse()->isHidden(), c.want[i][0]) << c.name << i;
            EXPECT_EQ(!r->use()->isHidden(), c.want[i][1]) << c.name << i;
            EXPECT_EQ(!r->trash()->isHidden(), c.want[i][2]) << c.name << i;
            EXPECT_EQ(r->trash()->toolTip().toStdString(), "Delete " + c.setups[i]);
        }
    }
    // Return commits the typed name; leaving the field commits nothing.
    Fixture f;
    std::vector<std::pair<std::string, std::string>> renames;
    f.model.onRenameSetup = [&](const std::string& a, const std::string& b) {
        renames.emplace_back(a, b);
    };
    f.model.setSetups({"Home", "Work"});
    auto* page = dynamic_cast<SetupsPage*>(f.open("setups"));
    QLineEdit* field = page->setupRows()[1]->field();
    field->selectAll();
    QTest::keyClicks(field, "Office");
    emit field->editingFinished();
    EXPECT_TRUE(renames.empty());
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(renames, (std::vector<std::pair<std::string, std::string>>{{"Work", "Office"}}));
}

TEST(SettingsView, ComputerRows) {
    Fixture f;
    f.model.setComputers({{"mac", "Studio", 2, true, true}, {"desk-pc", "Desk", 1, false, false}});
    f.prefs.setAllowedPCs({"desk-pc-7", "büro-pc"});
    auto* page = dynamic_cast<ComputersPage*>(f.open("computers"));
    auto rows = page->computerRows();
    ASSERT_EQ(rows.size(), 2u);
    struct Want {
        const char* icon;
        const char* state;
        const char* stateIcon;
        const char* monitors;
        bool forget;
    };
    const Want want[] = {{"laptopcomputer", "This computer", "circle.fill", "2 monitors", false},
                         {"pc", "Offline", "circle", "1 monitor", true}};
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(rows[i]->icon()->name(), want[i].icon);
        EXPECT_EQ(rows[i]->state()->text(), want[i].state);
        EXPECT_EQ(rows[i]->stateIcon()->name(), want[i].stateIcon);
        EXPECT_EQ(rows[i]->monitors()->text(), want[i].monitors);
        EXPECT_EQ(!rows[i]->forget()->isHidden(), want[i].forget);
    }
    auto allowed = [&] { return f.view->page()->rows(); };
    ASSERT_EQ(allowed().size(), 3u);
    EXPECT_EQ(allowed()[1]->help(), "DESK PC 7, BÜRO PC"); // upper-cased by Unicode rules
    QTest::mouseClick(dynamic_cast<QPushButton*>(allowed()[1]->control()), Qt::LeftButton);
    EXPECT_TRUE(f.prefs.allowedPCs().empty());
    EXPECT_EQ(allowed().size(), 2u);
}

TEST(SettingsView, TheComputersPageSaysWhereTheKeysAreKeptWithoutAKeyring) {
    Fixture f;
    f.open("computers");
    const std::string note = "The keyring can't be used, so the PCs' keys are kept in "
                             "~/.local/share/com.pardwell.pivmor/secrets.json, a file only you "
                             "can read. They move into the keyring once it can be used.";
    EXPECT_FALSE(f.reads(note));
    f.model.setSecretsFile(paths::home() + "/.local/share/com.pardwell.pivmor/secrets.json");
    EXPECT_TRUE(f.reads(note));
}

TEST(SettingsView, RenamingAComputerKeepsTheFieldAsTyped) {
    Fixture f;
    std::vector<std::string> names;
    // The application stores the name and refreshes the model straight away.
    f.model.onRename = [&](const std::string& id, const std::string& name) {
        names.push_back(name);
        f.model.setComputers({{id, name, 1, true, true}});
    };
    f.model.setComputers({{"mac", "Studio", 1, true, true}});
    auto* page = dynamic_cast<ComputersPage*>(f.open("computers"));
    f.view->show();
    f.view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.view.get()));
    QLineEdit* field = page->computerRows()[0]->field();
    field->setFocus();
    ASSERT_TRUE(field->hasFocus());
    field->setCursorPosition(3); // Stu|dio
    QTest::keyClicks(field, "xy");
    EXPECT_EQ(names, (std::vector<std::string>{"Stuxdio", "Stuxydio"}));
    EXPECT_EQ(page->computerRows()[0]->field(), field) << "the row was made again";
    EXPECT_EQ(field->cursorPosition(), 5);
    EXPECT_TRUE(field->hasFocus());
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    EXPECT_EQ(names.back(), "");
}

} // namespace
} // namespace helm
