#include "AppFixture.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>

#include <algorithm>
#include <limits>

using namespace helm;

namespace {

struct AppLayoutTest : ::testing::Test, test::AppFixture {};

Screen macScreen(const std::string& key, int display, int number) {
    Screen s;
    s.id = "mac/" + key;
    s.number = number;
    s.name = "Panel";
    s.computerName = "This Mac";
    s.display = display;
    return s;
}

// A file that counts its writes.
struct CountingStorage : DefaultsStorage {
    int& saves;
    std::string& text;
    CountingStorage(int& s, std::string& t) : saves(s), text(t) {}
    Loaded load() override { return text.empty() ? Loaded{} : Loaded{Status::ok, text, {}}; }
    std::optional<WriteFailure> save(const std::string& t) override {
        ++saves;
        text = t;
        return std::nullopt;
    }
    std::optional<std::string> setAside() override { return std::nullopt; }
};

Layout twoScreens() {
    Layout l;
    l.screens = {macScreen("1-2-3", 2, 1), macScreen("4-5-6", 0, 2)};
    return l;
}

} // namespace

TEST_F(AppLayoutTest, StoredLayoutIsReadOutsideSimulationOnly) {
    defaults.set("layout2", twoScreens().toJson());
    EXPECT_EQ(twoScreens(), make({})->layout());
    EXPECT_EQ(Layout(), make({"--test-port", "0"})->layout());
    // The router starts on the home screen: the lowest display index.
    EXPECT_EQ("mac/4-5-6", make({})->router().keys);
    EXPECT_EQ("mac/0", make({"--test-port", "0"})->router().keys);
}

TEST_F(AppLayoutTest, UnreadableStoredLayoutsGiveTheEmptyDesk) {
    json::Json noRightSign = twoScreens().toJson();
    noRightSign.erase("rightSign");
    for (const json::Json& bad : {json::Json("text"), json::Json(3), noRightSign}) {
        defaults.set("layout2", bad);
        EXPECT_EQ(Layout(), make({})->layout()) << bad.dump();
    }
}

TEST_F(AppLayoutTest, EveryAssignmentIsStoredExceptInSimulation) {
    auto app = make({});
    app->setLayout(twoScreens());
    EXPECT_EQ(twoScreens(), Layout::fromJson(*defaults.value("layout2")));
    EXPECT_EQ("Panel", app->screen("mac/4-5-6")->name);
    EXPECT_FALSE(app->screen("mac/none"));

    auto sim = make({"--test-port", "0"});
    sim->setLayout(Layout());
    EXPECT_EQ(twoScreens(), Layout::fromJson(*defaults.value("layout2")));
}

TEST_F(AppLayoutTest, ALayoutThatCannotBeEncodedLeavesTheStoredCopyIntact) {
    auto app = make({});
    app->setLayout(twoScreens());
    Layout broken = twoScreens();
    broken.screens[0].yaw = std::numeric_limits<double>::quiet_NaN();
    app->setLayout(broken);
    EXPECT_EQ(twoScreens(), Layout::fromJson(*defaults.value("layout2")));
    // The setups holding the same layout say so on a line of their own.
    std::vector<std::string> lines = logged();
    EXPECT_NE(lines.end(), std::find_if(lines.end() - 2, lines.end(), [](const std::string& l) {
                  return l.rfind("layout not stored", 0) == 0;
              }));
    app->setLayout(twoScreens()); // the next good assignment is written in full
    EXPECT_EQ(twoScreens(), Layout::fromJson(*defaults.value("layout2")));
}

TEST_F(AppLayoutTest, ApplyPrefsRefitsOnlyWhenTheEyeMixChanged) {
    struct Case {
        const char* name;
        bool cal;
        std::optional<double> mix;
        bool refit;
    };
    const Case cases[] = {
        {"no calibration record", false, std::nullopt, false},
        {"same mix", true, 0.5, false},
        {"other mix", true, 0.2, true},
        {"no mix yet", true, std::nullopt, true},
    };
    for (const auto& c : cases) {
        Layout l = twoScreens();
        if (c.cal) {
            l.cal = CalRecord{};
        }
        l.mix = c.mix;
        defaults.set("layout2", l.toJson());
        auto app = make({});
        std::size_t linesBefore = logged().size();
        app->applyPrefs(); // eye mix 0.5 by default
        EXPECT_EQ(c.refit ? std::optional<double>(0.5) : c.mix, app->layout().mix) << c.name;
        EXPECT_EQ(app->layout(), Layout::fromJson(*defaults.value("layout2"))) << c.name;
        std::vector<std::string> lines = logged();
        EXPECT_EQ(c.refit ? linesBefore + 1 : linesBefore, lines.size()) << c.name;
        if (c.refit) {
            EXPECT_EQ("head/eyes mix 0.5", lines.back());
        }
    }
}

TEST_F(AppLayoutTest, ApplyPrefsSetsThePickersSettleTime) {
    auto app = make({});
    app->prefs.onChange = [&] { app->applyPrefs(); };
    app->prefs.setSpeed(2);
    EXPECT_EQ(0.2, app->picker.settle);
}

// Every step of a drag changes the desk; the file is written a few times a second, on release
// and at quit, never at every step.
TEST_F(AppLayoutTest, ADragStoresTheDeskAFewTimesASecondAndWhenItEnds) {
    int saves = 0;
    std::string file;
    Defaults stored(std::make_unique<CountingStorage>(saves, file), nullptr);
    App app(CommandLine({"helmvantor"}), stored, simPlatform());
    app.setLayout(twoScreens());
    DeskModel& desk = app.desk();
    auto drag = [&](int from, int to) {
        for (int yaw = from; yaw <= to; ++yaw) {
            desk.editScreen("mac/1-2-3", [&](Screen& s) { s.yaw = yaw; });
        }
    };
    auto storedYaw = [&](const json::Json& doc) {
        EXPECT_EQ(doc["layout2"], Setups::fromJson(doc["setups"]).list[0].layout.toJson());
        return Layout::fromJson(doc["layout2"]).screens[0].yaw;
    };
    int before = saves;
    desk.onDragging(true);
    drag(1, 30);
    EXPECT_EQ(before, saves);
    EXPECT_EQ(30, app.layout().screens[0].yaw);
    QDeadlineTimer second(1000);
    while (saves == before && !second.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_EQ(before + 1, saves) << "both keys in one write, within a second";
    EXPECT_EQ(30, storedYaw(json::parse(file)));

    drag(31, 40);
    app.applicationWillTerminate();
    EXPECT_EQ(before + 2, saves);
    EXPECT_EQ(40, storedYaw(json::parse(file)));
    drag(41, 45);
    desk.onDragging(false);
    EXPECT_EQ(before + 3, saves);
    EXPECT_EQ(45, storedYaw(json::parse(file)));
    drag(46, 46); // a single edit outside a drag is stored at once
    EXPECT_EQ(before + 4, saves);
}
