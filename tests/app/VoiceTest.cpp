#include "app/Voice.h"
#include "RecordingSpeech.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace helm;

namespace {

struct VoiceTest : ::testing::Test {
    int argc = 1;
    char name[6] = "voice";
    char* argv[2] = {name, nullptr};
    QCoreApplication qapp{argc, argv};
    static void drain() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
};

TEST_F(VoiceTest, DoneRunsOnceLaterAndOnlyForTheLatestSentence) {
    struct Case {
        const char* name;
        bool engine;
        bool muted;
        bool spoken;        // the engine heard the sentence
        bool doneBeforeEnd; // done ran before the engine finished speaking
    };
    const Case cases[] = {
        {"speaking", true, false, true, false},
        {"muted", true, true, false, true},
        {"no engine yet", false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto record = std::make_shared<test::RecordingSpeech::Record>();
        Voice voice;
        voice.muted = c.muted;
        if (c.engine)
            voice.engine = std::make_unique<test::RecordingSpeech>(record);
        int first = 0, second = 0;
        voice.say("One.", [&] { ++first; });
        voice.say("Two.", [&] { ++second; });
        EXPECT_EQ(second, 0) << "never at once";
        drain();
        EXPECT_EQ(second, c.doneBeforeEnd ? 1 : 0);
        EXPECT_EQ(record->has("say Two."), c.spoken);
        record->finishAll(); // "One." ends (stopped), then "Two."
        drain();
        EXPECT_EQ(first, 0) << "replaced by the later sentence's";
        EXPECT_EQ(second, 1);
        record->finishAll();
        drain();
        EXPECT_EQ(second, 1);
    }
}

TEST_F(VoiceTest, AnEmptySentenceStopsAndDropsTheWaitingDone) {
    auto record = std::make_shared<test::RecordingSpeech::Record>();
    Voice voice;
    voice.engine = std::make_unique<test::RecordingSpeech>(record);
    int done = 0;
    voice.say("Look at the camera.", [&] { ++done; });
    const int stops = record->stops;
    voice.say("");
    EXPECT_EQ(record->stops, stops + 1);
    EXPECT_EQ(record->events, (std::vector<std::string>{"say Look at the camera."}));
    record->finishAll();
    drain();
    EXPECT_EQ(done, 0);
}

TEST_F(VoiceTest, ChimesFollowTheirSwitch) {
    auto record = std::make_shared<test::RecordingSpeech::Record>();
    Voice voice;
    voice.engine = std::make_unique<test::RecordingSpeech>(record);
    voice.muted = true; // speech only: chimes still play
    voice.chime();
    voice.chime("Glass");
    voice.chimesOff = true;
    voice.chime("Glass");
    EXPECT_EQ(record->events, (std::vector<std::string>{"chime Tink", "chime Glass"}));
}

} // namespace
