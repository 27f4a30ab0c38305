#include "link/Wire.h"
#include "link/Base64.h"

#include <gtest/gtest.h>

#include <set>

namespace helm {
namespace {

std::string b64(std::string_view s) {
    return base64Encode(s);
}

TEST(Wire, BuildsMacLines) {
    const std::pair<std::string, std::string> cases[] = {
        {Wire::ping, "p"},
        {Wire::askDisplays, "D"},
        {Wire::release, "r"},
        {Wire::askClip, "C"},
        {Wire::key(30, true), "k 30 1"},
        {Wire::key(0xE01D, false), "k 57373 0"},
        {Wire::button(2, true), "b 2 1"},
        {Wire::move(-5, 12), "m -5 12"},
        {Wire::wheel(-3, 1), "w -3 1"}, // vertical amount first
        {Wire::overlay(1, "id", 3), "o 1 id 3"},
        {Wire::overlay(0, "p", 100), "o 0 p 100"},
        {Wire::warp(0, "L", 2, "DESK PC"), "W 0 L 2 " + b64("DESK PC")},
        {Wire::warp(1, "-", 4, ""), "W 1 - 4 "},
        {Wire::setClip(Clip::text("héllo")), "c " + b64("héllo")},
        {Wire::setClip(Clip::text("")), "c "},
        {Wire::setClip(Clip::image({0x89, 0x50})), "ci iVA="},
        {Wire::setClip(Clip::files({})), "cf "},
        {Wire::setClip(Clip::files({{"a.txt", {'h', 'i'}}, {"empty", {}}})),
         "cf " + b64("a.txt") + ":aGk= " + b64("empty") + ":"},
        {Wire::animation(std::nullopt), "A -"},
        {Wire::animation(json::Json{{"dur", 0.5}}), "A " + b64(R"({"dur":0.5})")},
        {Wire::animation(json::Json{{"dur", std::nan("")}}), "A -"},
        {Wire::animation(json::Json{{"name", "\xff"}}), "A -"},
    };
    for (const auto& [built, expected] : cases) {
        EXPECT_EQ(built, expected);
    }
}

TEST(Wire, ClipReplies) {
    using R = Wire::ClipReply;
    const std::string hi = b64("hi");
    const std::pair<std::string, std::optional<R>> cases[] = {
        {"c 7 " + hi, R{7, Clip::text("hi")}},
        {"c  7   " + hi + " ignored", R{7, Clip::text("hi")}},
        {"c +7 " + hi, R{7, Clip::text("hi")}},
        {"c -2 " + hi, R{-2, Clip::text("hi")}},
        {"c 7", R{7, std::nullopt}},
        {"ci 7 ", R{7, std::nullopt}}, // trailing space: the same as no payload
        {"cf 9", R{9, std::nullopt}},
        {"ci 3 iVA=", R{3, Clip::image({0x89, 0x50})}},
        {"c 7 " + b64(""), R{7, std::nullopt}},         // an empty text is no payload at all
        {"c x " + hi, std::nullopt},                    // number not numeric
        {"c 99999999999999999999 " + hi, std::nullopt}, // number overflows
        {"cx 7 " + hi, std::nullopt},                   // unknown kind
        {"C 7 " + hi, std::nullopt},
        {"c", std::nullopt},
        {"", std::nullopt},
        {"c 7 aGk", std::nullopt},                // bad base64
        {"c 7 " + b64("\xff\xfe"), std::nullopt}, // not UTF-8
        {"ci 7 " + b64(""), R{7, std::nullopt}},
        {"ci 7 !!!!", std::nullopt},
    };
    for (const auto& [line, expected] : cases) {
        EXPECT_EQ(Wire::clipReply(line), expected) << line;
    }
}

TEST(Wire, FileClipReplies) {
    using R = Wire::ClipReply;
    auto item = [](std::string_view name, std::string_view data) {
        return b64(name) + ":" + b64(data);
    };
    const std::pair<std::string, std::optional<R>> cases[] = {
        {"cf 1 " + item("a.txt", "hi") + " " + item("b", ""),
         R{1, Clip::files({{"a.txt", {'h', 'i'}}, {"b", {}}})}},
        {"cf 1 " + b64("a") + ":", R{1, Clip::files({{"a", {}}})}}, // empty file
        {"cf 1 " + item("..\\..\\evil.bat", "x"), R{1, Clip::files({{"evil.bat", {'x'}}})}},
        {"cf 1 " + b64("a") + ":" + b64("x:y"), R{1, Clip::files({{"a", {'x', ':', 'y'}}})}},
        {"cf 1 " + b64("a"), std::nullopt},                               // no ":"
        {"cf 1 " + item("a", "x") + " " + b64("b"), std::nullopt},        // one bad item of two
        {"cf 1 " + item(".hidden", "x"), std::nullopt},                   // refused name
        {"cf 1 " + item("a", "x") + " " + item("..", "y"), std::nullopt}, // refused among good
        {"cf 1 " + b64("\xff") + ":" + b64("x"), std::nullopt},           // name not UTF-8
        {"cf 1 " + b64("a") + ":!!", std::nullopt},                       // bad data
        {"cf 1 :" + b64("x"), std::nullopt},                              // empty name
    };
    for (const auto& [line, expected] : cases) {
        EXPECT_EQ(Wire::clipReply(line), expected) << line;
    }
    EXPECT_FALSE(Wire::decode("cf", {}));
    EXPECT_FALSE(Wire::decode("c", {}));
    EXPECT_FALSE(Wire::decode("x", {"aGk="}));
    EXPECT_FALSE(Wire::decode("ci", {""})); // an empty picture
    EXPECT_EQ(Wire::decode("c", {""}), Clip::text(""));
}

TEST(Wire, ClipLinesRoundTrip) {
    const Clip clips[] = {
        Clip::text("multi word text with\nnew lines and emoji 😀"),
        Clip::image({1, 2, 3, 4, 5}),
        Clip::files({{"report final.pdf", {0, 1, 2}}, {"notes", {}}}),
    };
    for (const auto& clip : clips) {
        std::string line = Wire::setClip(clip);
        std::string kind = line.substr(0, line.find(' '));
        auto reply = Wire::clipReply(kind + " 5 " + line.substr(kind.size() + 1));
        ASSERT_TRUE(reply) << line;
        EXPECT_EQ(reply->clip, clip);
    }
}

std::string display(std::string_view fields) {
    return std::string(R"({"key":"1-2-3","name":"Dell","index":0,"x":0,"y":0,"w":1920,)") +
           R"("h":1080,"mmW":600,"mmH":340,"primary":true)" + std::string(fields) + "}";
}

std::string dline(const std::string& json) {
    return "d " + b64(json);
}

TEST(Wire, DisplaysReply) {
    auto two = Wire::displaysReply(dline(
        "[" + display("") + "," + display(R"(,"key":"4-5-6","index":1,"primary":false)") + "]"));
    ASSERT_TRUE(two);
    ASSERT_EQ(two->size(), 2u);
    EXPECT_EQ((*two)[0].key, "1-2-3");
    EXPECT_EQ((*two)[1].index, 1);
    EXPECT_EQ((*two)[0].w, 1920);

    EXPECT_EQ(Wire::displaysReply(dline("[]")), std::vector<DisplayInfo>{});

    std::string sixteen = "[", seventeen;
    for (int i = 0; i < 16; ++i) {
        sixteen += (i ? "," : "") + display("");
    }
    seventeen = sixteen + "," + display("") + "]";
    sixteen += "]";
    EXPECT_TRUE(Wire::displaysReply(dline(sixteen)));
    // Odd displays are left out, the usable ones kept, the first sixteen at most.
    const std::pair<std::string, std::size_t> partial[] = {
        {"[" + display(R"(,"w":0)") + "," + display(R"(,"key":"4-5-6")") + "]", 1},
        {"[" + display(R"(,"index":-1)") + "," + display(R"(,"key":"a/b")") + "," +
             display(R"(,"key":"7-8-9")") + ",{}]",
         1},
        {seventeen, 16},
    };
    for (const auto& [json, kept] : partial) {
        std::string problem;
        auto list = Wire::displaysReply(dline(json), &problem);
        ASSERT_TRUE(list) << json;
        EXPECT_EQ(list->size(), kept) << json;
        EXPECT_EQ(problem.rfind("display list: ", 0), 0u) << problem;
    }
    // Brackets inside a name are text, not nesting.
    EXPECT_TRUE(
        Wire::displaysReply(dline("[" + display(R"(,"name":"[[[[[[[[[[{{{{{{{{{{\"]]")") + "]")));

    // nlohmann keeps the last of two equal keys, so a field is overridden by appending it.
    const std::pair<std::string, std::string> bad[] = {
        {"dx " + b64("[]"), ""}, // not "d" and a space: not a display line at all
        {"d" + b64("[]"), ""},
        {"D " + b64("[]"), ""},
        {"d", ""},
        {"d  " + b64("[]"), "not base64"},
        {"d [1]", "not base64"},
        {dline("{}"), "expected an array"},
        {dline("[{}]"), "missing"},
        {dline("[" + display(R"(,"w":"wide")") + "]"), "expected a number"},
        {dline("[" + display(R"(,"w":0)") + "]"), "no width or height"},
        {dline("[" + display(R"(,"h":-1)") + "]"), "no width or height"},
        {dline("[" + display(R"(,"w":1e400)") + "]"), "overflow"},
        {dline("[" + display(R"(,"mmW":-1e999)") + "]"), "overflow"},
        {dline("[" + display(R"(,"index":-1)") + "]"), "index is negative"},
        {dline("[" + display(R"(,"key":"")") + "]"), "key"},
        {dline("[" + display(R"(,"key":"1/2")") + "]"), "key"},
        {dline("[" + display(R"(,"key":"1 2")") + "]"), "key"},
        {dline("[" + display(R"(,"key":"1\u00a02")") + "]"), "key"},
        {dline("[" + display("") + "]x"), "malformed"},
        {"d " + b64(std::string(Wire::maxDisplaysLine, '[')), "bytes, at most"},
        {dline(std::string(9, '[') + std::string(9, ']')), "nested too deeply"},
        {dline("[" + display(R"(,"x":[[[[[[[[[1]]]]]]]]])") + "]"), "nested too deeply"},
    };
    for (const auto& [line, why] : bad) {
        std::string problem;
        EXPECT_FALSE(Wire::displaysReply(line, &problem)) << line;
        if (why.empty()) {
            EXPECT_EQ(problem, "") << line;
        } else {
            EXPECT_NE(problem.find(why), std::string::npos) << line << " → " << problem;
        }
    }
}

TEST(Wire, SafeName) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"report.pdf", "report.pdf"},
        {"C:\\Users\\me\\..\\secret.txt", "secret.txt"},
        {"../notes.txt", "notes.txt"},
        {"a/b/", "b"},
        {".bashrc", std::nullopt},
        {"..", std::nullopt},
        {".", std::nullopt},
        {"dir/..", std::nullopt},
        {"a<b>c", "abc"},
        {"what?\"*|", "what"},
        {"  spaced name \t", "spaced name"},
        {" .hidden", std::nullopt}, // trimmed first, then refused
        {"", std::nullopt},
        {"///", std::nullopt},
        {"   ", std::nullopt},
        {"<>", std::nullopt},
        {std::string("a\0b\x1f\x7f", 5), "ab"},
        {"a\xc2\x85"
         "b",
         "ab"}, // C1 control
        {"gpj\xe2\x80\xae"
         "exe.txt",
         "gpjexe.txt"},                       // right-to-left override
        {"x\xe2\x81\xa6y\xe2\x81\xa9", "xy"}, // isolates
        {"caf\xc3\xa9.txt", "caf\xc3\xa9.txt"},
        {"bad\xff", std::nullopt},
        {std::string(255, 'n'), std::string(255, 'n')},
        {std::string(256, 'n'), std::nullopt},
        {"dir/" + std::string(255, 'n'), std::string(255, 'n')},
    };
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(Wire::safeName(name), expected) << name;
    }
}

TEST(Wire, PCNames) {
    const std::pair<std::string, bool> cases[] = {
        {"desk-pc", true},
        {"Büro", true},
        {std::string(64, 'p'), true},
        {std::string(65, 'p'), false},
        {"", false},
        {"mac", false},
        {"Mac", true},
        {"a/b", false},
        {"a b", false},
        {"a\tb", false},
        {"a\xc2\xa0"
         "b",
         false}, // no-break space
        {"a\x01", false},
        {"a\x7f", false},
        {"a\xc2\x90", false}, // C1 control
        {"\xff", false},
        {"pc\xe2\x80\x8f", false}, // right-to-left mark
        {"p\xe2\x80\x8b"
         "c",
         false},                             // zero-width space
        {"\xef\xbb\xbfpc", false},           // byte order mark
        {"\xef\xbf\xbd\xef\xbf\xbd", false}, // only replacement marks
        {"\xcc\x81\xcc\x88", false},         // only combining marks
        {"\xef\xbf\xbd\xcc\x81", false},
        {"e\xcc\x81", true}, // a letter with its accent
        {"pc\xef\xbf\xbd", true},
    };
    for (const auto& [name, ok] : cases) {
        EXPECT_EQ(Wire::isValidPCName(name), ok) << name;
    }
}

TEST(Wire, CapturedInputLines) {
    using Move = std::pair<std::int64_t, std::int64_t>;
    const std::pair<std::string, std::optional<Move>> moves[] = {
        {"L m 5 -3", Move{5, -3}},    {"L m  5   -3", Move{5, -3}}, {"L m 5", std::nullopt},
        {"L m 5 -3 1", std::nullopt}, {"L m 5 x", std::nullopt},    {"L k 5 1", std::nullopt},
        {"Lm 5 3", std::nullopt},
    };
    for (const auto& [line, expected] : moves) {
        EXPECT_EQ(Wire::fastMove(line), expected) << line;
    }
    EXPECT_EQ(Wire::input("k 30 1"), (Wire::Input{"k", {30, 1}}));
    EXPECT_EQ(Wire::input("w  -2 x 0"), (Wire::Input{"w", {-2, 0}}));
    EXPECT_EQ(Wire::input("b"), (Wire::Input{"b", {}}));
    EXPECT_FALSE(Wire::input("   "));
}

TEST(Wire, PairCodesAreSixDigits) {
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        std::string code = Wire::newPairCode();
        ASSERT_EQ(code.size(), 6u);
        EXPECT_EQ(code.find_first_not_of("0123456789"), std::string::npos) << code;
        seen.insert(code);
    }
    EXPECT_GT(seen.size(), 190u);
}

} // namespace
} // namespace helm
