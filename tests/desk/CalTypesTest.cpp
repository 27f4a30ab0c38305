#include "desk/CalRecord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace helm;
using helm::json::Json;

TEST(CalCorner, NamesWordsAndSpots) {
    struct Case {
        CalCorner corner;
        const char* raw;
        const char* words;
        double x, y;
    };
    const Case cases[] = {
        {CalCorner::tl, "tl", "top left", 0, 0},
        {CalCorner::tr, "tr", "top right", 1, 0},
        {CalCorner::br, "br", "bottom right", 1, 1},
        {CalCorner::bl, "bl", "bottom left", 0, 1},
        {CalCorner::mt, "mt", "middle of the top edge", 0.5, 0},
        {CalCorner::mr, "mr", "middle of the right edge", 1, 0.5},
        {CalCorner::mb, "mb", "middle of the bottom edge", 0.5, 1},
        {CalCorner::ml, "ml", "middle of the left edge", 0, 0.5},
        {CalCorner::c, "c", "centre", 0.5, 0.5},
    };
    ASSERT_EQ(std::size(cases), allCalCorners.size());
    for (std::size_t i = 0; i < allCalCorners.size(); ++i) {
        const auto& c = cases[i];
        EXPECT_EQ(allCalCorners[i], c.corner) << c.raw; // the fit depends on this order
        EXPECT_STREQ(rawValue(c.corner), c.raw);
        EXPECT_STREQ(words(c.corner), c.words);
        EXPECT_EQ(spot(c.corner), std::make_pair(c.x, c.y)) << c.raw;
        EXPECT_EQ(calCorner(c.raw), c.corner);
    }
    for (const char* bad : {"", "TL", "centre", "t l", "cc"}) {
        EXPECT_EQ(calCorner(bad), std::nullopt) << bad;
    }
}

TEST(CalTarget, JsonForms) {
    EXPECT_EQ(CalTarget::camera().toJson(), json::parse(R"({"camera": {}})"));
    EXPECT_EQ(CalTarget::corner("pc/1-2-3", CalCorner::mb).toJson(),
              json::parse(R"({"corner": {"screen": "pc/1-2-3", "at": "mb"}})"));
    for (const CalTarget& t : {CalTarget::camera(), CalTarget::turnRight(), CalTarget::keyboard(),
                               CalTarget::corner("mac/1-2-3", CalCorner::c)}) {
        EXPECT_EQ(CalTarget::fromJson(json::parse(json::dump(t.toJson()))), t);
    }
    EXPECT_EQ(
        CalTarget::fromJson(json::parse(R"({"corner": {"screen": "mac/1-2-3", "at": "mr"}})")),
        CalTarget::corner("mac/1-2-3", CalCorner::mr));
    EXPECT_EQ(CalTarget::fromJson(json::parse(R"({"keyboard": {}, "note": 1})")),
              CalTarget::keyboard());
    EXPECT_NE(CalTarget::corner("a", CalCorner::tl), CalTarget::corner("a", CalCorner::tr));
    EXPECT_NE(CalTarget::corner("a", CalCorner::tl), CalTarget::corner("b", CalCorner::tl));
    EXPECT_NE(CalTarget::camera(), CalTarget::keyboard());
}

TEST(CalTarget, DecodeFailures) {
    struct Case {
        const char* text;
        const char* message; // nullptr: any message
    };
    const char* keys = "Invalid number of keys found, expected one.";
    const Case cases[] = {
        {R"({"camera": {}, "keyboard": {}})", keys},
        {R"({})", keys},
        {R"({"Camera": {}})", keys},
        {R"({"corner": {"screen": "mac/1"}})", nullptr},
        {R"({"corner": {"at": "tl"}})", nullptr},
        {R"({"corner": {"screen": "mac/1", "at": "middle"}})", nullptr},
        {R"({"corner": {"screen": 7, "at": "tl"}})", nullptr},
        {R"({"camera": 1})", nullptr},
        {R"({"camera": null})", nullptr},
        {R"(["camera"])", nullptr},
    };
    for (const auto& c : cases) {
        try {
            CalTarget::fromJson(json::parse(c.text));
            ADD_FAILURE() << "decoded: " << c.text;
        } catch (const json::DecodeError& e) {
            if (c.message) {
                EXPECT_STREQ(e.what(), c.message) << c.text;
            }
        }
    }
}

TEST(CalRecord, JsonRoundTripAndConsistency) {
    CalRecord r;
    r.steps = {{CalTarget::camera(), "Look at the camera."},
               {CalTarget::corner("mac/1-2-3", CalCorner::tl), "Screen 1, top left."}};
    r.heads = {{1, 2}, {-20.5, 10}};
    r.eyes = {{0, 0}, {3, -1}};
    r.positions = {std::nullopt, V3{1, -7, 52}};
    Json j = r.toJson();
    EXPECT_TRUE(j["positions"][0].is_null());
    EXPECT_EQ(CalRecord::fromJson(json::parse(json::dump(j))), r);
    EXPECT_EQ(CalStep::fromJson(r.steps[1].toJson()), r.steps[1]);
    EXPECT_THROW(CalStep::fromJson(json::parse(R"({"target": {"camera": {}}})")),
                 json::DecodeError);

    for (const char* key : {"steps", "heads", "eyes", "positions"}) {
        Json bad = j;
        bad.erase(key);
        EXPECT_THROW(CalRecord::fromJson(bad), json::DecodeError) << key;
    }
    struct Case {
        const char* what;
        void (*edit)(Json&);
        bool ok;
    };
    const Case cases[] = {
        {"fewer positions", [](Json& x) { x["positions"].erase(1); }, true},
        {"no positions", [](Json& x) { x["positions"] = Json::array(); }, true},
        {"more positions, cut to the steps", [](Json& x) { x["positions"].push_back(nullptr); },
         true},
        {"fewer heads", [](Json& x) { x["heads"].erase(1); }, false},
        {"more eyes",
         [](Json& x) {
             x["eyes"].push_back({{"yaw", 0}, {"pitch", 0}});
         },
         false},
        {"position not a V3", [](Json& x) { x["positions"][1] = 3; }, false},
        {"steps not a list", [](Json& x) { x["steps"] = Json::object(); }, false},
        {"bad target", [](Json& x) { x["steps"][0]["target"] = Json::object(); }, false},
    };
    for (const auto& c : cases) {
        Json x = j;
        c.edit(x);
        bool ok = true;
        try {
            EXPECT_LE(CalRecord::fromJson(x).positions.size(), r.steps.size()) << c.what;
        } catch (const json::DecodeError&) {
            ok = false;
        }
        EXPECT_EQ(ok, c.ok) << c.what;
    }

    CalRecord nan = r;
    nan.eyes[1].pitch = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(nan.toJson(), json::EncodeError);
}
