#include "app/RepeatFilter.h"

#include <gtest/gtest.h>

using namespace helm;
using namespace std::chrono_literals;

TEST(RepeatFilter, AFloodIsWrittenOncePerSecondWithItsCount) {
    struct Step {
        const char* line; // nothing: a flush
        std::chrono::milliseconds at;
        std::vector<std::string> written;
    };
    const Step steps[] = {
        {"bad hello", 0ms, {"bad hello"}},
        {"bad hello", 100ms, {}},
        {"other", 200ms, {"other"}}, // each line is its own kind
        {"bad hello", 900ms, {}},
        {nullptr, 999ms, {}},
        {nullptr, 1000ms, {"bad hello (repeated 2 times)"}},
        {"bad hello", 1500ms, {}},
        {"bad hello", 2100ms, {"bad hello"}}, // one held copy is the line itself; this one waits
        {nullptr, 3200ms, {"bad hello"}},
        {nullptr, 4300ms, {}}, // a quiet second: nothing to tell, the line is forgotten
        {"bad hello", 4400ms, {"bad hello"}},
    };
    std::vector<std::string> out;
    RepeatFilter filter([&](const std::string& l) { out.push_back(l); });
    const auto start = RepeatFilter::Clock::time_point();
    for (const Step& s : steps) {
        out.clear();
        if (s.line) {
            filter(s.line, start + s.at);
        } else {
            filter.flush(start + s.at);
        }
        EXPECT_EQ(s.written, out) << (s.line ? s.line : "flush") << " at " << s.at.count();
    }
}

TEST(RepeatFilter, DistinctLinesBeyondTheLimitAreWrittenUnsummarised) {
    int written = 0;
    RepeatFilter filter([&](const std::string&) { ++written; });
    const auto now = RepeatFilter::Clock::time_point();
    for (std::size_t i = 0; i < RepeatFilter::maxKinds; ++i) {
        filter("line " + std::to_string(i), now);
    }
    filter("one more", now);
    filter("one more", now);
    EXPECT_EQ(static_cast<int>(RepeatFilter::maxKinds) + 2, written);
}
