#include "desk/Json.h"
#include "desk/Safe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace helm;
using helm::json::Json;

TEST(Json, ReadsNumbersStrictly) {
    struct Case {
        const char* text;
        bool doubleOk;
        bool intOk;
        bool boolOk;
    };
    const Case cases[] = {
        {R"({"v": 3})", true, true, false},
        {R"({"v": 3.0})", true, true, false},
        {R"({"v": 3.5})", true, false, false},
        {R"({"v": true})", false, false, true},
        {R"({"v": 1})", true, true, false}, // 0/1 is not a Boolean
        {R"({"v": "3"})", false, false, false},
        {R"({"v": null})", false, false, false},
        {R"({"w": 3})", false, false, false},
        {R"({"v": 18446744073709551615})", true, false, false},
    };
    for (const auto& c : cases) {
        auto j = json::parse(c.text);
        EXPECT_EQ(c.doubleOk, [&] {
            try {
                json::getDouble(j, "v");
                return true;
            } catch (const json::DecodeError&) {
                return false;
            }
        }()) << c.text;
        EXPECT_EQ(c.intOk, [&] {
            try {
                json::getInt(j, "v");
                return true;
            } catch (const json::DecodeError&) {
                return false;
            }
        }()) << c.text;
        EXPECT_EQ(c.boolOk, [&] {
            try {
                json::getBool(j, "v");
                return true;
            } catch (const json::DecodeError&) {
                return false;
            }
        }()) << c.text;
    }
}

TEST(Json, OptionalKeysMissingOrNullAreAbsent) {
    auto j = json::parse(R"({"a": null, "b": 2})");
    EXPECT_EQ(json::optionalField(j, "a"), nullptr);
    EXPECT_EQ(json::optionalField(j, "c"), nullptr);
    ASSERT_NE(json::optionalField(j, "b"), nullptr);
    EXPECT_THROW(json::optionalField(Json::array(), "a"), json::DecodeError);
}

TEST(Json, RefusesToWriteNonFiniteNumbers) {
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity()}) {
        EXPECT_THROW(json::finite(bad, "x"), json::EncodeError);
        Json nested = {{"a", {{"b", Json::array({1.0, bad})}}}};
        EXPECT_THROW(json::dump(nested), json::EncodeError);
    }
    EXPECT_EQ(json::dump(Json{{"a", 1.5}}), R"({"a":1.5})");
}

TEST(Json, EveryRefusalToWriteIsAnEncodeError) {
    // Whatever makes a value unwritable, callers see the one error they handle.
    const Json cases[] = {
        Json{{"name", "\xff\xfe"}},                     // not UTF-8
        Json{{"list", Json::array({"ok", "caf\xc3"})}}, // truncated sequence
        Json{{"\xc0\xaf", 1}},                          // overlong key
        Json{{"a", {{"b", std::nan("")}}}},
    };
    for (const auto& j : cases) {
        EXPECT_THROW(json::dump(j), json::EncodeError);
    }
    EXPECT_EQ(json::dump(Json{{"name", "caf\xc3\xa9"}}), "{\"name\":\"caf\xc3\xa9\"}");
}

TEST(Json, MalformedTextIsADecodeError) {
    for (const char* text : {"", "{", "[1,", "nul", "{\"a\":}"}) {
        EXPECT_THROW(json::parse(text), json::DecodeError) << text;
    }
}

TEST(Json, NestingPast64LevelsIsRefusedBeforeParsing) {
    auto deep = [](int levels) { return std::string(levels, '[') + std::string(levels, ']'); };
    const struct {
        std::string text;
        bool refused;
    } cases[] = {
        {deep(64), false},
        {deep(65), true},
        {"{\"a\":" + deep(64) + "}", true},
        {"[\"" + std::string(100, '[') + "\"]", false},     // brackets in a string
        {"[\"\\\"" + std::string(100, '{') + "\"]", false}, // after an escaped quote
    };
    for (const auto& c : cases) {
        bool refused = false;
        try {
            json::parse(c.text);
        } catch (const json::DecodeError& e) {
            refused =
                std::string(e.what()).find("nested deeper than 64 levels") != std::string::npos;
        }
        EXPECT_EQ(refused, c.refused) << c.text.substr(0, 80);
    }
}

TEST(Safe, YieldsNothingOutOfRange) {
    std::vector<int> v{10, 20, 30};
    EXPECT_EQ(safe(v, -1), std::nullopt);
    EXPECT_EQ(safe(v, 3), std::nullopt);
    EXPECT_EQ(safe(v, 0), 10);
    EXPECT_EQ(safe(v, 2), 30);
    EXPECT_EQ(safe(std::vector<int>{}, 0), std::nullopt);
}
