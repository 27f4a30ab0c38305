#include "AppFixture.h"

#include "platform/sim/FakeDisplaySource.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace helm;

namespace {

DisplayInfo display(const std::string& key, int index) {
    return {key, "Panel", index, index * 1920.0, 0, 1920, 1080, 600, 340, index == 0};
}

Screen screen(const std::string& id, int number, bool learned = false) {
    Screen s;
    s.id = id;
    s.number = number;
    s.learned = learned;
    if (id.rfind("mac/", 0) != 0) {
        s.computer = id.substr(0, id.find('/'));
    }
    return s;
}

Layout desk(std::vector<Screen> screens) {
    Layout l;
    l.screens = std::move(screens);
    return l;
}

struct AppSetupsTest : ::testing::Test, test::AppFixture {
    FakeDisplaySource* source = nullptr;

    // An application outside simulation mode whose displays the test sets by hand.
    std::unique_ptr<App> start(std::vector<DisplayInfo> displays) {
        Platform p = simPlatform();
        auto fake = std::make_unique<FakeDisplaySource>(std::move(displays));
        source = fake.get();
        p.displays = std::move(fake);
        return std::make_unique<App>(CommandLine({"helmvantor"}), defaults, std::move(p));
    }

    void store(const Setups& s, const Layout& working) {
        defaults.set("setups", s.toJson());
        defaults.set("layout2", working.toJson());
    }

    bool loggedLine(const std::string& line) const {
        std::vector<std::string> lines = logged();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

Setups homeAndWork(const Layout& home, const Layout& work) {
    Setups s;
    s.list = {{"Home", home}, {"Work", work}};
    return s;
}

} // namespace

TEST_F(AppSetupsTest, APcComingOnlineSwitchesToTheSetupHoldingIt) {
    const Layout home = desk({screen("mac/A", 1)});
    const Layout work = desk({screen("mac/A", 1), screen("pc/1", 2)});
    store(homeAndWork(home, work), home);
    auto app = start({display("A", 0)});
    app->checkSetup();
    EXPECT_EQ("Home", app->setups().active) << "nobody online: the active setup stays";
    app->connected = {"pc"};
    app->checkSetup();
    EXPECT_EQ("Work", app->setups().active);
    EXPECT_EQ(work, app->layout());
    EXPECT_EQ(home, app->setups().find("Home")->layout);
    EXPECT_TRUE(loggedLine("setup → Work (auto)"));
    EXPECT_EQ("Work", Setups::fromJson(*defaults.value("setups")).active);
}

TEST_F(AppSetupsTest, UnknownMonitorsStartASetupOnlyForACalibratedDesk) {
    struct Case {
        const char* name;
        bool learned;
        bool macBookOnlyTaken;
        std::optional<std::string> started;
    };
    const Case cases[] = {
        {"calibrated desk, one monitor", true, false, "One monitor"},
        {"calibrated desk, one monitor, name taken", true, true, "Work"},
        {"uncalibrated desk", false, false, std::nullopt},
    };
    for (const Case& c : cases) {
        const Layout home = desk({screen("mac/A", 1, c.learned), screen("mac/B", 2)});
        Setups s;
        s.list = {{"Home", home}};
        if (c.macBookOnlyTaken) {
            s.list.push_back({"One monitor", desk({screen("mac/Z", 1)})});
        }
        store(s, home);
        auto app = start({display("C", 0)});
        app->syncMacDisplays();
        const Setups& now = app->setups();
        EXPECT_EQ(c.started.value_or("Home"), now.active) << c.name;
        EXPECT_EQ(s.list.size() + (c.started ? 1 : 0), now.list.size()) << c.name;
        // The merged monitors land in the active setup; a new desk leaves the old one intact.
        ASSERT_EQ(1u, app->layout().screens.size()) << c.name;
        EXPECT_EQ("mac/C", app->layout().screens[0].id) << c.name;
        EXPECT_EQ(app->layout(), now.find(now.active)->layout) << c.name;
        EXPECT_EQ(c.started ? home : app->layout(), now.find("Home")->layout) << c.name;
        EXPECT_EQ(c.started.has_value(), loggedLine("new desk → setup " + c.started.value_or("")))
            << c.name;
    }
}

TEST_F(AppSetupsTest, ADeskEditReachesTheStoreAndTheActiveSetupAndKeepsThePickersScreen) {
    const Layout home = desk({screen("mac/A", 1)});
    store(homeAndWork(home, desk({})), home);
    auto app = start({display("A", 0)});
    app->picker = GazePicker(std::string("mac/A"));
    app->desk().editScreen("mac/A", [](Screen& s) { s.yaw = 12; });
    EXPECT_EQ(12, app->layout().screens[0].yaw);
    EXPECT_EQ(app->layout(), Layout::fromJson(*defaults.value("layout2")));
    EXPECT_EQ(app->layout(), Setups::fromJson(*defaults.value("setups")).find("Home")->layout);
    EXPECT_EQ("mac/A", app->picker.current.value_or("-"));
}

TEST_F(AppSetupsTest, AnEmptyDisplayListKeepsTheDeskAndStartsNothing) {
    const Layout home = desk({screen("mac/A", 1, true)});
    store(homeAndWork(home, desk({})), home);
    auto app = start({});
    app->syncMacDisplays();
    EXPECT_EQ(home, app->layout());
    EXPECT_EQ(2u, app->setups().list.size());
    EXPECT_EQ("displays: none listed, desk kept", logged().back());
}

TEST_F(AppSetupsTest, AnUnreadableStoredValueIsKeptAsideBeforeTheFirstSave) {
    json::Json noActive = homeAndWork(desk({}), desk({})).toJson();
    noActive.erase("active");
    defaults.set("setups", noActive);
    const Layout working = desk({screen("mac/A", 1)});
    defaults.set("layout2", working.toJson());
    auto app = start({display("A", 0)});
    const Setups& s = app->setups();
    ASSERT_EQ(1u, s.list.size());
    EXPECT_EQ((Setups::Setup{"Home", working}), s.list[0]);
    EXPECT_EQ(noActive, *defaults.value("setups.unreadable"));
    app->saveSetups();
    EXPECT_EQ(s, Setups::fromJson(*defaults.value("setups")));
}

TEST_F(AppSetupsTest, SetupsThatCannotBeStoredSayWhy) {
    auto app = start({});
    app->setups().list[0].name = "Caf\xC3";
    app->saveSetups();
    EXPECT_TRUE(loggedLine("setups not stored: text that is not UTF-8"));
    EXPECT_FALSE(defaults.value("setups"));
}

TEST_F(AppSetupsTest, ADamagedCalibrationRecordLosesOnlyItself) {
    Layout home = desk({screen("mac/A", 1, true)});
    home.cal = CalRecord{{{CalTarget::camera(), "Look at the camera."}}, {{0, 0}}, {{0, 0}}, {}};
    json::Json damaged = home.toJson();
    damaged["cal"]["eyes"] = json::Json::array();
    json::Json setups = homeAndWork(home, home).toJson();
    setups["list"][1]["layout"] = damaged;
    defaults.set("layout2", damaged);
    defaults.set("setups", setups);

    auto app = start({display("A", 0)});
    Layout kept = home;
    kept.cal.reset();
    EXPECT_EQ(kept, app->layout());
    EXPECT_EQ(home, app->setups().list[0].layout);
    EXPECT_EQ(kept, app->setups().list[1].layout);
    const std::string why = "calibration record dropped (\"cal\": lists do not match the steps)";
    EXPECT_TRUE(loggedLine("layout2: " + why + ", kept as layout2.unreadable"));
    EXPECT_TRUE(loggedLine("setups: setup Work: " + why + ", kept as setups.unreadable"));
    EXPECT_EQ(damaged, *defaults.value("layout2.unreadable"));
    EXPECT_EQ(setups, *defaults.value("setups.unreadable"));
}

TEST_F(AppSetupsTest, RenameAndDeleteRefuseWhatDoesNotApply) {
    struct Case {
        const char* name;
        std::function<void(App&)> act;
        std::vector<std::string> names;
        std::string active;
    };
    const Case cases[] = {
        {"blanks around a new name are cut",
         [](App& a) { a.renameSetup("Work", "\t Desk\u00A0 "); },
         {"Home", "Desk", "Work"},
         "Home"},
        {"a line break is kept",
         [](App& a) { a.renameSetup("Work", "Desk\n"); },
         {"Home", "Desk\n", "Work"},
         "Home"},
        {"a name in use is refused",
         [](App& a) { a.renameSetup("Work", "Home"); },
         {"Home", "Work", "Work"},
         "Home"},
        {"blanks only are refused",
         [](App& a) { a.renameSetup("Work", " \u2003"); },
         {"Home", "Work", "Work"},
         "Home"},
        {"an unknown setup is refused",
         [](App& a) { a.renameSetup("Gone", "Desk"); },
         {"Home", "Work", "Work"},
         "Home"},
        {"renaming the active setup moves it",
         [](App& a) { a.renameSetup("Home", "Den"); },
         {"Den", "Work", "Work"},
         "Den"},
        {"the active setup is not deleted",
         [](App& a) { a.deleteSetup("Home"); },
         {"Home", "Work", "Work"},
         "Home"},
        {"every setup of a name is deleted",
         [](App& a) { a.deleteSetup("Work"); },
         {"Home"},
         "Home"},
    };
    for (const Case& c : cases) {
        Setups s = homeAndWork(desk({}), desk({}));
        s.list.push_back({"Work", desk({screen("mac/B", 1)})});
        store(s, desk({}));
        auto app = start({});
        c.act(*app);
        std::vector<std::string> names;
        for (const auto& setup : app->setups().list) {
            names.push_back(setup.name);
        }
        EXPECT_EQ(c.names, names) << c.name;
        EXPECT_EQ(c.active, app->setups().active) << c.name;
    }
    Setups only;
    only.list = {{"Home", desk({})}, {"Spare", desk({})}};
    only.active = "Spare";
    store(only, desk({}));
    auto app = start({});
    app->deleteSetup("Home");
    app->deleteSetup("Spare");
    EXPECT_EQ(1u, app->setups().list.size()) << "the only setup stays";
}
