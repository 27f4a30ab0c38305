#include "guide/Script.h"

#include <gtest/gtest.h>

namespace helm {
namespace {

std::vector<Screen> screens(int k) {
    // Given out of number order, so the plan has to sort them.
    std::vector<Screen> list;
    for (int n = k; n >= 1; --n) {
        Screen s;
        s.id = "mac/" + std::to_string(n);
        s.number = n;
        list.push_back(s);
    }
    return list;
}

TEST(ScriptPlan, CountsLengthsAndHopOrder) {
    struct Case {
        int k;
        std::size_t prompts;
        double secs;
        std::vector<int> hops; // screen numbers of the 2.5 s "screen" prompts
    };
    const Case cases[] = {
        {0, 4, 10, {}},
        {1, 17, 64, {}},
        {2, 38, 130, {2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1}},
        {3, 43, 146, {1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3}},
        {4, 48, 162, {4, 3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1}},
        {7, 63, 210, {4, 5, 4, 5, 4, 5, 4, 5, 4, 5, 4, 5}},
    };
    for (const Case& c : cases) {
        const auto plan = Script::plan(screens(c.k));
        double secs = 0;
        std::vector<int> hops;
        for (const auto& item : plan) {
            secs += item.secs;
            if (item.kind == "screen" && item.secs == 2.5)
                hops.push_back(item.screen->number);
        }
        EXPECT_EQ(plan.size(), c.prompts) << c.k;
        EXPECT_DOUBLE_EQ(secs, c.secs) << c.k;
        EXPECT_EQ(hops, c.hops) << c.k;
        EXPECT_EQ(plan.back().kind, "done");
    }
}

TEST(ScriptPlan, TwoScreensInOrderWithTheirWords) {
    const auto plan = Script::plan(screens(2));
    std::vector<std::string> said;
    for (const auto& item : plan)
        said.push_back(item.kind + "|" + (item.screen ? item.screen->id : "-") + "|" + item.say);
    const std::vector<std::string> head = {
        "camera|-|Look at the camera.",
        "turnRight|-|Turn your head right.",
        "keyboard|-|Look at your keyboard.",
        "corner-tl|mac/1|Screen 1, top left.",
        "corner-tr|mac/1|Top right.",
        "corner-br|mac/1|Bottom right.",
        "corner-bl|mac/1|Bottom left.",
        "corner-tl|mac/2|Screen 2, top left.",
        "corner-tr|mac/2|Top right.",
        "corner-br|mac/2|Bottom right.",
        "corner-bl|mac/2|Bottom left.",
        "screen|mac/1|Look at the middle of screen 1.",
        "screen|mac/2|Look at the middle of screen 2.",
        "lean-left|mac/1|Keep looking at screen 1 and lean to the left.",
        "lean-right|mac/1|Now lean to the right.",
        "back|mac/1|Sit back.",
        "closer|mac/1|Lean in closer.",
        "lean-left|mac/2|Keep looking at screen 2 and lean to the left.",
    };
    const std::vector<std::string> tail = {
        "screen|mac/1|Screen 1.",
        "keyboard|-|Look at your keyboard.",
        "screen|mac/1|Screen 1.",
        "away|-|Look away, at your phone or out of the window.",
        "gone|-|Now stand up and step away for a moment.",
        "done|-|Done. Thank you!",
    };
    EXPECT_EQ(std::vector<std::string>(said.begin(), said.begin() + head.size()), head);
    EXPECT_EQ(std::vector<std::string>(said.end() - tail.size(), said.end()), tail);
}

TEST(ScriptJson, ScreenKeyOnlyWhenPresentAndRoundTrip) {
    Script script;
    script.layout.screens = screens(1);
    script.cues = {{0, 3, "camera", std::nullopt}, {3.25, 6.25, "corner-tl", "mac/1"}};
    const std::string text = script.encode();
    EXPECT_NE(text.find(R"({"start":0.0,"end":3.0,"kind":"camera"})"), std::string::npos) << text;
    EXPECT_EQ(Script::decode(text), script);
}

TEST(ScriptJson, RefusesWhatCannotBeAScript) {
    const std::string layout = Layout().encode();
    const std::string bad[] = {
        "",
        "[]",
        R"({"cues":[]})",
        R"({"layout":)" + layout + "}",
        R"({"layout":)" + layout + R"(,"cues":{}})",
        R"({"layout":)" + layout + R"(,"cues":[{"start":0,"end":1}]})",
        R"({"layout":)" + layout + R"(,"cues":[{"start":"0","end":1,"kind":"x"}]})",
        R"({"layout":)" + layout + R"(,"cues":[{"start":0,"end":1,"kind":"x","screen":4}]})",
    };
    for (const std::string& text : bad)
        EXPECT_THROW(Script::decode(text), json::DecodeError) << text;
    EXPECT_EQ(Script::decode(R"({"layout":)" + layout +
                             R"(,"cues":[{"start":0,"end":1,"kind":"x","extra":1}],"v":2})")
                  .cues.size(),
              1u);
}

} // namespace
} // namespace helm
