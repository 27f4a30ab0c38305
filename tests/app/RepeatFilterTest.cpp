#include "app/RepeatFilter.h"

#include <gtest/gtest.h>

using namespace helm;
using namespace std::chrono_literals;

TEST(RepeatFilter, AFloodIsWrittenOncePerSecondWithItsCount) {
    const std::tuple<const char*, std::chrono::milliseconds, std::vector<std::string>> steps[] = {
        {"bad", 0ms, {"bad"}},
        {"bad", 100ms, {}},
        {"other", 200ms, {"other"}}, // each line is its own kind
        {"bad", 900ms, {}},
        {nullptr, 999ms, {}}, // nullptr: a flush
        {nullptr, 1000ms, {"bad (repeated 2 times)"}},
        {"bad", 1500ms, {}},
        {"bad", 2100ms, {"bad"}}, // one held copy is the line itself; this one waits
        {nullptr, 3200ms, {"bad"}},
        {nullptr, 4300ms, {}}, // a quiet second: the line is forgotten
        {"bad", 4400ms, {"bad"}},
    };
    std::vector<std::string> out;
    RepeatFilter filter([&](const std::string& l) { out.push_back(l); });
    for (const auto& [line, at, written] : steps) {
        out.clear();
        line ? filter(line, RepeatFilter::Clock::time_point(at))
             : filter.flush(RepeatFilter::Clock::time_point(at));
        EXPECT_EQ(written, out) << at.count();
    }
}

TEST(RepeatFilter, AFloodOfDistinctLinesIsCountedPastTheNewLinesOfAWindow) {
    std::vector<std::string> out;
    RepeatFilter filter([&](const std::string& l) { out.push_back(l); });
    for (int i = 0; i < 300; ++i)
        filter("display " + std::to_string(i) + " skipped", RepeatFilter::Clock::time_point(1ms));
    EXPECT_EQ(out.size(), static_cast<std::size_t>(RepeatFilter::maxNew));
    out.clear();
    filter.flush(RepeatFilter::Clock::time_point(1001ms));
    const std::string left =
        "log: " + std::to_string(300 - RepeatFilter::maxNew) + " more lines left out";
    EXPECT_EQ(out, std::vector<std::string>{left});
    out.clear();
    filter("a new line", RepeatFilter::Clock::time_point(1002ms)); // a new window
    EXPECT_EQ(out, std::vector<std::string>{"a new line"});
}
