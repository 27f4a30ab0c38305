#include "platform/SpeechTurn.h"
#include "platform/linux/QtSpeech.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace helm;

namespace {

// The engine's state reports, in the order they arrive, and which sentence each ready ends.
TEST(SpeechTurnTest, OnlyTheReadyAfterTheSentencesOwnSpeakingEndsIt) {
    struct Case {
        const char* name;
        std::string reports;   // b: a new sentence, d: dropped, s: speaking, r: ready, e: error
        std::vector<int> ends; // the sentence (1-based) each ended, in order
    };
    const Case cases[] = {
        {"spoken", "bsr", {1}},
        {"ready twice", "bsrr", {1}},
        {"the stop's late ready", "bsdbrsr", {2}},
        {"replaced while waiting", "bbsr", {2}},
        {"dropped", "bsdr", {}},
        {"failed before speaking", "be", {1}},
        {"speaking with nothing handed over", "sbr", {}},
    };
    for (const Case& c : cases) {
        SpeechTurn turn;
        std::vector<int> ends;
        int sentence = 0;
        for (char r : c.reports) {
            std::function<void()> end;
            switch (r) {
            case 'b': {
                const int n = ++sentence;
                turn.begin([&ends, n] { ends.push_back(n); });
                break;
            }
            case 'd':
                turn.drop();
                break;
            case 's':
                turn.speaking();
                break;
            case 'r':
                end = turn.ready();
                break;
            case 'e':
                end = turn.failed();
                break;
            }
            if (end)
                end();
        }
        EXPECT_EQ(ends, c.ends) << c.name;
    }
}

TEST(SpeechTurnTest, OurRateScaleOnQts) {
    const std::pair<double, double> cases[] = {{0.5, 0}, {0, -1}, {1, 1}, {0.75, 0.5}, {2, 1}};
    for (auto [ours, qt] : cases)
        EXPECT_DOUBLE_EQ(QtSpeech::qtRate(ours), qt) << ours;
}

} // namespace
