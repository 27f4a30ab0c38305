#include "desk/Prefs.h"

#include <gtest/gtest.h>

#include <limits>

using namespace helm;
using helm::json::Json;

namespace {

void expectDefaults(const Prefs& p) {
    EXPECT_EQ(0, p.speed());
    EXPECT_TRUE(p.mouseJump());
    EXPECT_TRUE(p.edgeBackup());
    EXPECT_TRUE(p.sounds());
    EXPECT_TRUE(p.voice());
    EXPECT_FALSE(p.panel());
    EXPECT_TRUE(p.clipText());
    EXPECT_TRUE(p.clipPictures());
    EXPECT_TRUE(p.clipFiles());
    EXPECT_EQ(1.0, p.pcPointer());
    EXPECT_TRUE(p.allInputs());
    EXPECT_EQ(0.5, p.eyeMix());
    EXPECT_EQ("glide", p.jumpId());
    EXPECT_EQ("#30D158", p.jumpColor());
    EXPECT_FALSE(p.tailscaleOnly());
}

} // namespace

TEST(Prefs, EmptyDefaultsGiveTheDefaults) {
    Defaults d;
    Prefs p(d);
    expectDefaults(p);
    EXPECT_TRUE(p.allowedPCs().empty());
    EXPECT_TRUE(d.keys().empty()); // reading stores nothing
}

TEST(Prefs, StoredValuesOfTheWrongTypeReadAsTheDefault) {
    Defaults d;
    d.set("p.speed", "2");
    d.set("p.jump", "false");
    d.set("p.edge", 0);
    d.set("p.panel", 1);
    d.set("p.pcPointer", "fast");
    d.set("p.eyeMix", false);
    d.set("p.jump.id", 3);
    d.set("p.jump.color", Json::array({"#000000"}));
    d.set("p.allowedPCs", Json::array({"a", 2}));
    d.set("p.tsOnly", Json());
    Prefs p(d);
    expectDefaults(p);
    EXPECT_TRUE(p.allowedPCs().empty());
}

TEST(Prefs, StoredValuesAreReadWithoutRangeChecks) {
    Defaults d;
    d.set("p.speed", 7);
    d.set("p.eyeMix", 3);
    d.set("p.pcPointer", 2.5);
    d.set("p.jump", false);
    d.set("p.allowedPCs", Json::array({"pc-a", "pc-b"}));
    Prefs p(d);
    EXPECT_EQ(7, p.speed());
    EXPECT_EQ(3.0, p.eyeMix());
    EXPECT_EQ(2.5, p.pcPointer());
    EXPECT_FALSE(p.mouseJump());
    EXPECT_EQ((std::vector<std::string>{"pc-a", "pc-b"}), p.allowedPCs());
}

TEST(Prefs, EveryWriteStoresAndCallsOnChangeOnceEvenWhenUnchanged) {
    Defaults d;
    Prefs p(d);
    int calls = 0;
    p.onChange = [&] {
        ++calls;
        // The value is in memory and in the defaults by the time onChange runs.
        EXPECT_TRUE(*d.boolean("p.voice"));
        EXPECT_TRUE(p.voice());
    };
    p.setVoice(true);
    EXPECT_EQ(1, calls);

    p.onChange = [&] { ++calls; };
    p.setSpeed(2);
    p.setPcPointer(1.5);
    p.setJumpColor("#FF0000");
    p.setAllowedPCs({"pc-a"});
    EXPECT_EQ(5, calls);
    EXPECT_EQ(2, *d.integer("p.speed"));
    EXPECT_EQ(1.5, *d.number("p.pcPointer"));
    EXPECT_EQ("#FF0000", *d.string("p.jump.color"));
    EXPECT_EQ(std::vector<std::string>{"pc-a"}, *d.strings("p.allowedPCs"));

    // What was written is what the next launch reads.
    Prefs again(d);
    EXPECT_EQ(2, again.speed());
    EXPECT_EQ("#FF0000", again.jumpColor());
}

TEST(Prefs, ANumberThatIsNotFiniteChangesNothing) {
    Defaults d;
    Prefs p(d);
    int calls = 0;
    p.onChange = [&] { ++calls; };
    p.setEyeMix(std::numeric_limits<double>::quiet_NaN());
    p.setPcPointer(std::numeric_limits<double>::infinity());
    EXPECT_EQ(0, calls);
    EXPECT_EQ(0.5, p.eyeMix());
    EXPECT_EQ(1.0, p.pcPointer());
}

TEST(Prefs, SettleClampsTheSpeed) {
    const std::pair<int, double> cases[] = {{-1, 0.06}, {0, 0.06}, {1, 0.1}, {2, 0.2}, {5, 0.2}};
    Defaults d;
    Prefs p(d);
    for (auto [speed, settle] : cases) {
        p.setSpeed(speed);
        EXPECT_EQ(settle, p.settle()) << speed;
    }
}

TEST(Prefs, ResetRestoresTheDefaultsThroughTheChangePath) {
    Defaults d;
    d.set("layout2", Json::object()); // not a preference: untouched
    d.set("p.unknown", 1);            // a "p." key of an older version: removed
    Prefs p(d);
    p.setSpeed(2);
    p.setVoice(false);
    p.setEyeMix(0.9);
    p.setJumpId("off");
    p.setTailscaleOnly(true);
    p.setAllowedPCs({"pc-a", "pc-b"});

    std::vector<std::string> seen;
    p.onChange = [&] { seen.push_back(p.jumpId() + "/" + (p.voice() ? "v" : "-")); };
    p.reset();

    EXPECT_EQ(15u, seen.size());
    // jumpId is among the last two assignments, voice the fifth.
    EXPECT_EQ("off/-", seen[3]);
    EXPECT_EQ("off/v", seen[4]);
    EXPECT_EQ("glide/v", seen[13]);
    expectDefaults(p);
    EXPECT_TRUE(d.value("layout2"));
    EXPECT_FALSE(d.value("p.unknown"));

    // Memory and storage agree on the allowed PCs: the next launch uses the same list.
    EXPECT_EQ((std::vector<std::string>{"pc-a", "pc-b"}), p.allowedPCs());
    Prefs next(d);
    expectDefaults(next);
    EXPECT_EQ(p.allowedPCs(), next.allowedPCs());
    EXPECT_EQ(0, *d.integer("p.speed"));
    EXPECT_TRUE(*d.boolean("p.voice"));
}
