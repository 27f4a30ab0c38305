#include "windows/SettingsModel.h"

#include "DeskSample.h"
#include "desk/Defaults.h"
#include "platform/sim/MemoryLoginItem.h"

#include <gtest/gtest.h>

namespace helm {
namespace {

using C = SettingsModel::Computer;

TEST(SettingsModel, ComputersInTheOrderOfTheirFirstScreens) {
    auto s = [](const char* id, std::optional<std::string> pc) {
        return test::sampleScreen(id, 1, std::move(pc), 0, 0);
    };
    struct Case {
        const char* name;
        std::vector<Screen> screens;
        std::set<std::string> connected;
        std::vector<C> want;
    };
    const Case cases[] = {
        {"two here then three of a connected PC",
         {s("m1", {}), s("m2", {}), s("p1", "pc"), s("p2", "pc"), s("p3", "pc")},
         {"pc"},
         {{"mac", "This computer", 2, true, true}, {"pc", "Tower", 3, true, false}}},
        {"the same PC offline",
         {s("m1", {}), s("m2", {}), s("p1", "pc"), s("p2", "pc"), s("p3", "pc")},
         {},
         {{"mac", "This computer", 2, true, true}, {"pc", "Tower", 3, false, false}}},
        {"a PC's screens apart still one entry",
         {s("p1", "pc"), s("m1", {}), s("p2", "pc")},
         {},
         {{"pc", "Tower", 2, false, false}, {"mac", "This computer", 1, true, true}}},
        {"no screens", {}, {"pc"}, {}},
    };
    for (const Case& c : cases) {
        Layout l;
        l.screens = c.screens;
        EXPECT_EQ(SettingsModel::computersOf(l, c.connected), c.want) << c.name;
    }
}

TEST(SettingsModel, ChangedOnlyWhenAValueChangesButEveryTabAssignmentReported) {
    Defaults d;
    Prefs prefs(d);
    SettingsModel m(prefs);
    int changes = 0;
    std::vector<std::string> tabs;
    QObject::connect(&m, &SettingsModel::changed, [&] { ++changes; });
    m.onTab = [&](const std::string& t) { tabs.push_back(t); };

    m.setHealth("Camera on"); // the initial value
    m.setLiveLook("—");
    m.setActiveSetup("Home");
    EXPECT_EQ(changes, 0);
    m.setHealth("Camera off");
    m.setHealth("Camera off");
    EXPECT_EQ(changes, 1);

    m.setTab("general"); // the same tab: reported, not a change
    m.setTab("camera");
    m.setTab("camera");
    EXPECT_EQ(tabs, (std::vector<std::string>{"general", "camera", "camera"}));
    EXPECT_EQ(changes, 2);
}

TEST(SettingsModel, StartAtLoginReadsBackWhatIsInForce) {
    Defaults d;
    Prefs prefs(d);
    struct Case {
        const char* name;
        bool before;
        std::optional<std::string> failure;
        bool ask;
        bool want;
        std::optional<std::string> message;
    };
    const Case cases[] = {
        {"turned on", false, {}, true, true, {}},
        {"turned off", true, {}, false, false, {}},
        {"refused keeps the real state", true, "read-only folder", false, true,
         "The desktop didn't allow it: read-only folder"},
    };
    for (const Case& c : cases) {
        MemoryLoginItem item;
        item.on = c.before;
        SettingsModel m(prefs, &item);
        EXPECT_EQ(m.startAtLogin(), c.before) << c.name;
        item.failure = c.failure;
        m.setStartAtLogin(c.ask);
        EXPECT_EQ(m.startAtLogin(), c.want) << c.name;
        EXPECT_EQ(m.loginMessage(), c.message) << c.name;
    }
    // A later success clears the message.
    MemoryLoginItem item;
    SettingsModel m(prefs, &item);
    item.failure = "no";
    m.setStartAtLogin(true);
    item.failure.reset();
    m.setStartAtLogin(true);
    EXPECT_TRUE(m.startAtLogin());
    EXPECT_FALSE(m.loginMessage());
}

} // namespace
} // namespace helm
