#include "desk/Setups.h"

#include <gtest/gtest.h>

using namespace helm;

namespace {

Layout desk(std::vector<std::string> ids) {
    Layout l;
    for (std::string& id : ids) {
        Screen s;
        s.id = id;
        if (std::size_t slash = id.find('/'); id.substr(0, slash) != "mac") {
            s.computer = id.substr(0, slash);
        }
        l.screens.push_back(s);
    }
    return l;
}

Setups setups(std::vector<Setups::Setup> list, std::string active) {
    Setups s;
    s.list = std::move(list);
    s.active = std::move(active);
    return s;
}

} // namespace

TEST(Setups, BetterPicksTheSetupWithTheMostOnlinePcsAndKeepsTiesAndTheActiveOne) {
    const Layout alone = desk({"mac/A"});
    const Layout withPc = desk({"mac/A", "pc/1", "pc/2"}); // one PC with two screens
    const Layout other = desk({"mac/B"});
    struct Case {
        const char* name;
        Setups setups;
        std::set<std::string> mac;
        std::set<std::string> online;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"a PC coming online moves to the setup that holds it",
         setups({{"Home", alone}, {"Work", withPc}}, "Home"),
         {"mac/A"},
         {"pc"},
         "Work"},
        {"with nobody online the active setup stays",
         setups({{"Home", alone}, {"Work", withPc}}, "Home"),
         {"mac/A"},
         {},
         std::nullopt},
        {"between two others with equal counts the earlier wins",
         setups({{"Home", other}, {"Work", alone}, {"Desk", alone}}, "Home"),
         {"mac/A"},
         {},
         "Work"},
        {"the active setup that no longer fits is left whatever the counts",
         setups({{"Home", withPc}, {"Work", other}}, "Home"),
         {"mac/B"},
         {"pc"},
         "Work"},
        {"an active setup whose layout differs from the candidate's is no candidate",
         setups({{"Home", alone}, {"Home", other}}, "Home"),
         {"mac/B"},
         {},
         std::nullopt},
        {"no setup fits", setups({{"Home", alone}}, "Home"), {"mac/C"}, {}, std::nullopt},
        {"PC screens never count as this computer's",
         setups({{"Home", other}, {"Work", withPc}}, "Home"),
         {"mac/A", "pc/1"},
         {},
         std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, c.setups.better(c.mac, c.online)) << c.name;
        EXPECT_EQ(c.expected.has_value() || c.setups.fits(c.mac), c.setups.fits(c.mac)) << c.name;
    }
}

TEST(Setups, FreshNamesAreNeverInUse) {
    struct Case {
        std::vector<std::string> taken;
        std::string expected;
    };
    std::vector<std::string> all = {"Home", "Work"};
    for (int n = 3; n <= 99; ++n) {
        all.push_back("Setup " + std::to_string(n));
    }
    std::vector<std::string> allAndNext = all;
    allAndNext.push_back("Setup 100");
    const Case cases[] = {
        {{"Home", "Setup 3"}, "Work"},
        {{"Home", "Work"}, "Setup 3"},
        {all, "Setup 100"},
        {allAndNext, "Setup 101"},
    };
    for (const Case& c : cases) {
        Setups s;
        for (const std::string& name : c.taken) {
            s.list.push_back({name, Layout()});
        }
        EXPECT_EQ(c.expected, s.freshName()) << c.taken.size();
    }
}

TEST(Setups, StoreFillsTheActiveSetupOrAppendsIt) {
    Setups s = setups({{"Home", desk({"mac/A"})}, {"Home", desk({"mac/C"})}}, "Home");
    s.store(desk({"mac/B"}));
    EXPECT_EQ(desk({"mac/B"}), s.list[0].layout);
    EXPECT_EQ(desk({"mac/C"}), s.list[1].layout);
    s.active = "Work";
    s.store(desk({"mac/D"}));
    ASSERT_EQ(3u, s.list.size());
    EXPECT_EQ((Setups::Setup{"Work", desk({"mac/D"})}), s.list[2]);
}

TEST(Setups, JsonRoundTripsAndNeedsAllFourKeys) {
    const Setups s = setups({{"Home", desk({"mac/A", "pc/1"})}, {"Work", Layout()}}, "Work");
    EXPECT_EQ(s, Setups::fromJson(s.toJson()));
    const char* required[][2] = {{"active", ""}, {"list", ""}, {"name", "0"}, {"layout", "0"}};
    for (const auto& [key, inItem] : required) {
        json::Json j = s.toJson();
        (*inItem ? j["list"][0] : j).erase(key);
        EXPECT_THROW(Setups::fromJson(j), json::DecodeError) << key;
    }
}
