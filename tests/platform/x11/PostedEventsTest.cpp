#include "platform/x11/PostedEvents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace helm;

namespace {

using Kind = PostedEvents::Kind;
using std::chrono::milliseconds;

// Each step posts or claims one event at a time (ms after the start); a claim says whether the
// event counts as ours.
TEST(PostedEvents, AnEventIsOursOnlyWhileAPostOfOursWaitsForIt) {
    struct Step {
        bool post;
        Kind kind;
        int detail;
        bool press;
        int at;
        bool ours; // for a claim
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"nothing posted", {{false, Kind::key, 46, true, 0, false}}},
        {"used once",
         {{true, Kind::key, 46, true, 0, false},
          {false, Kind::key, 46, true, 5, true},
          {false, Kind::key, 46, true, 6, false}}},
        {"a release is not the press",
         {{true, Kind::key, 46, true, 0, false}, {false, Kind::key, 46, false, 5, false}}},
        {"too late",
         {{true, Kind::button, 1, true, 0, false}, {false, Kind::button, 1, true, 2500, false}}},
        {"earlier posts of the kind never come",
         {{true, Kind::key, 46, true, 0, false},
          {true, Kind::motion, 0, false, 1, false},
          {true, Kind::key, 33, true, 2, false},
          {false, Kind::key, 33, true, 5, true},
          {false, Kind::key, 46, true, 6, false},
          {false, Kind::motion, 0, false, 7, true}}},
    };
    for (const Case& c : cases) {
        PostedEvents posted;
        const auto start = PostedEvents::Clock::now();
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            const auto at = start + milliseconds(s.at);
            if (s.post) {
                posted.add(s.kind, s.detail, s.press, at);
            } else {
                EXPECT_EQ(posted.claim(s.kind, s.detail, s.press, at), s.ours)
                    << c.name << ", step " << i;
            }
        }
    }
}

} // namespace
