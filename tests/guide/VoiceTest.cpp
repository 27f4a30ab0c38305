#include "guide/Voice.h"
#include "support/RecordingSpeech.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace helm;

namespace {

struct VoiceTest : ::testing::Test {
    int argc = 1;
    char name[6] = "voice";
    char* argv[2] = {name, nullptr};
    QCoreApplication qapp{argc, argv};
    std::shared_ptr<test::RecordingSpeech::Record> record =
        std::make_shared<test::RecordingSpeech::Record>();
    int made = 0; // engines made
    std::vector<std::string> logged;

    static void drain() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    void wire(Voice& voice, bool engines = true) {
        voice.log = [this](const std::string& line) { logged.push_back(line); };
        if (!engines)
            return;
        voice.makeSpeech = [this]() -> std::unique_ptr<Speech> {
            ++made;
            return std::make_unique<test::RecordingSpeech>(record);
        };
        voice.makeChimes = [this]() -> std::unique_ptr<Chimes> {
            return std::make_unique<test::RecordingSpeech>(record);
        };
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
        {"no engine", false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        record = std::make_shared<test::RecordingSpeech::Record>();
        made = 0;
        Voice voice;
        voice.muted = c.muted;
        wire(voice, c.engine);
        int first = 0, second = 0;
        voice.say("One.", [&] { ++first; });
        voice.say("Two.", [&] { ++second; });
        EXPECT_EQ(second, 0) << "never at once";
        drain();
        EXPECT_EQ(second, c.doneBeforeEnd ? 1 : 0);
        EXPECT_EQ(record->has("say Two."), c.spoken);
        EXPECT_EQ(made, c.spoken ? 1 : 0) << "muted runs never make an engine";
        record->finishAll(); // "One." ends (stopped), then "Two."
        drain();
        EXPECT_EQ(first, 0) << "replaced by the later sentence's";
        EXPECT_EQ(second, 1);
        record->finishAll();
        drain();
        EXPECT_EQ(second, 1);
    }
}

TEST_F(VoiceTest, TheLateEndOfAStoppedSentenceCallsNothing) {
    Voice voice;
    wire(voice);
    int first = 0, second = 0;
    voice.say("One.", [&] { ++first; });
    auto firstEnd = std::move(record->speaking.front());
    record->speaking.clear();
    voice.say("Two.", [&] { ++second; });
    firstEnd(); // the engine reports the stopped sentence's end after the new one began
    drain();
    EXPECT_EQ(first + second, 0);
    record->finishAll();
    drain();
    EXPECT_EQ(second, 1);
}

TEST_F(VoiceTest, AnEmptySentenceStopsAndItsDoneRunsAsWhenMuted) {
    Voice voice;
    wire(voice);
    int done = 0, emptyDone = 0;
    voice.say("Look at the camera.", [&] { ++done; });
    const int stops = record->stops;
    voice.say("", [&] { ++emptyDone; });
    EXPECT_EQ(record->stops, stops + 1);
    EXPECT_EQ(emptyDone, 0) << "never inside say";
    EXPECT_EQ(record->events, (std::vector<std::string>{"say Look at the camera."}));
    record->finishAll();
    drain();
    EXPECT_EQ(done, 0);
    EXPECT_EQ(emptyDone, 1);
}

TEST_F(VoiceTest, NoEngineLogsOnceAndCompletes) {
    Voice voice;
    wire(voice);
    voice.makeSpeech = [] { return std::unique_ptr<Speech>(); };
    voice.makeChimes = [] { return std::unique_ptr<Chimes>(); };
    int done = 0;
    voice.say("One.", [&] { ++done; });
    voice.say("Two.", [&] { ++done; });
    voice.chime();
    voice.chime();
    drain();
    EXPECT_EQ(done, 1);
    EXPECT_EQ(logged.size(), 2u) << "one line for speech, one for chimes";
}

TEST_F(VoiceTest, ChimesFollowTheirSwitchAndTheSoundTheme) {
    Voice voice;
    wire(voice);
    voice.muted = true; // speech only: chimes still play
    voice.chime();
    voice.chime("Glass");
    voice.chime("bell");
    voice.chimesOff = true;
    voice.chime("Glass");
    voice.chime();
    EXPECT_EQ(record->events,
              (std::vector<std::string>{"chime message", "chime complete", "chime bell"}));
}

} // namespace
