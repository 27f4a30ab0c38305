#include "AppFixture.h"
#include "gaze/camera/GazeEngine.h"
#include "link/Wire.h"
#include "platform/sim/FakeDisplaySource.h"
#include "platform/sim/MemorySecretStore.h"
#include "support/RecordingSpeech.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <thread>

using namespace helm;

namespace {

// What the movie of a test was given; shared with its writers.
struct Film {
    bool opens = true;
    bool breaks = false; // every frame fails to be written
    std::atomic<long> frames{0};
};

struct FakeWriter : MovieRecorder::Writer {
    std::shared_ptr<Film> film;
    explicit FakeWriter(std::shared_ptr<Film> f) : film(std::move(f)) {}
    bool open(const std::string&) override { return film->opens; }
    bool write(const cv::Mat&) override {
        if (film->breaks)
            return false;
        ++film->frames;
        return true;
    }
    long finish() override { return film->frames; }
};

// A camera that sends a small grey frame every 20 ms.
struct StillCamera : FrameSource {
    bool open() override { return true; }
    std::optional<Frame> next() override {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return Frame{cv::Mat(48, 64, CV_8UC1, cv::Scalar(90)), 0};
    }
    void close() override {}
    bool live() const override { return true; }
    std::string problem() const override { return {}; }
};

struct AppRecordTest : ::testing::Test, test::AppFixture {
    QTemporaryDir data;
    std::shared_ptr<Film> film = std::make_shared<Film>();
    std::vector<std::function<void()>> waiting; // scheduled prompts, oldest first
    long frame = 0;                             // frames filmed so far
    double now = 100;                           // the media clock
    std::vector<std::string> pcLines;           // "pc1 o 0 off 2"
    std::shared_ptr<test::RecordingSpeech::Record> speech =
        std::make_shared<test::RecordingSpeech::Record>();

    AppRecordTest() { qputenv("XDG_DATA_HOME", data.path().toUtf8()); }
    ~AppRecordTest() override { qunsetenv("XDG_DATA_HOME"); }

    // A launched application with one screen of this computer, a camera that is on (or none),
    // the fake movie, the fake clock and prompts that wait for the test. Outside simulation
    // mode unless the arguments ask for it.
    std::unique_ptr<App> recorderApp(std::vector<std::string> args = {"--no-camera"},
                                     bool camera = true) {
        Platform p = simPlatform();
        p.displays = std::make_unique<FakeDisplaySource>(std::vector<DisplayInfo>{DisplayInfo{}});
        // Outside simulation mode the hub would listen on the real port, which a test running
        // beside this one may hold; it waits for keys that never come instead.
        static_cast<MemorySecretStore*>(p.secrets.get())->holdCalls = true;
        auto app = make(std::move(args), std::move(p));
        app->postLine = [this](const std::string& line, const std::string& pc) {
            pcLines.push_back(pc + " " + line);
        };
        app->voice.makeSpeech = [s = speech] { return std::make_unique<test::RecordingSpeech>(s); };
        app->makeGaze = [camera] {
            GazeEngine::Options o;
            o.present = [camera] { return camera; };
            o.source = [] { return std::make_unique<StillCamera>(); };
            o.face.modelPath = "/nonexistent/landmarks.dat";
            return std::make_unique<GazeEngine>(std::move(o));
        };
        app->movie =
            std::make_shared<MovieRecorder>([f = film] { return std::make_unique<FakeWriter>(f); });
        app->later = [this](double secs, std::function<void()> fn) {
            if (secs != 5.1) { // a note's clear is not one of the recording's steps
                waiting.push_back(std::move(fn));
            }
        };
        app->recordClock = [this] { return now; };
        app->applicationDidFinishLaunching();
        app->cameraOn = camera;
        Screen s;
        s.id = "mac/1-1-1";
        s.number = 1;
        s.name = "Panel";
        Layout l;
        l.screens = {s};
        app->setLayout(l);
        return app;
    }

    // Films the latest prompt's time at 30 frames a second, then gives the oldest waiting one.
    void next(App& app, bool filming = true) {
        const Script::Cue& cue = app.recordCues.back();
        const double until = now + cue.end - cue.start;
        for (; 100 + frame / 30.0 < until - 1e-9; ++frame)
            if (filming)
                app.movie->take(
                    Frame{cv::Mat(48, 64, CV_8UC1, cv::Scalar(90)), 100 + frame / 30.0});
        now = until;
        QCoreApplication::processEvents();
        auto fn = std::move(waiting.front());
        waiting.erase(waiting.begin());
        fn();
    }

    // Runs the main thread until the movie's end has been heard there.
    static void finalised(App& app) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (app.recorder && std::chrono::steady_clock::now() < limit)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    static unsigned mode(const std::string& path) {
        struct stat st {};
        ::stat(path.c_str(), &st);
        return st.st_mode & 0777;
    }
};

TEST_F(AppRecordTest, RefusedStartsDoOnlyWhatTheySay) {
    struct Case {
        std::string what;
        std::vector<std::string> args;
        bool camera;
        bool opens;
        std::optional<std::string> note;
        bool folder; // the session folder was made
    };
    const Case cases[] = {
        {"simulation mode", {"--test-port", "0", "--no-camera"}, true, true, std::nullopt, false},
        {"no camera", {"--no-camera"}, false, true, std::nullopt, false},
        {"the movie cannot be written",
         {"--no-camera"},
         true,
         false,
         "The camera can't record right now.",
         true},
    };
    for (const Case& c : cases) {
        film->opens = c.opens;
        auto app = recorderApp(c.args, c.camera);
        app->startRecording();
        EXPECT_EQ(app->hud.note(), c.note) << c.what;
        EXPECT_EQ(app->recorder, nullptr) << c.what;
        EXPECT_FALSE(app->recordDir) << c.what;
        EXPECT_TRUE(app->recordCues.empty()) << c.what;
        EXPECT_TRUE(waiting.empty()) << c.what;
        EXPECT_EQ(countLogged("recording"), 0) << c.what;
        EXPECT_EQ(std::filesystem::exists(Script::folder()), c.folder) << c.what;
        std::filesystem::remove_all(Script::folder());
    }
}

TEST_F(AppRecordTest, WhileRecordingNeitherASecondStartNorTheUsersAbsenceInterferes) {
    auto app = recorderApp();
    app->cameraOn = false; // switched on for the recording
    app->startRecording();
    EXPECT_TRUE(app->cameraOn);
    EXPECT_EQ(countLogged("camera on (recording)"), 1);
    ASSERT_NE(app->recorder, nullptr);
    EXPECT_EQ(app->recordCues.size(), 1u);
    EXPECT_EQ(app->hud.note(), "Look at the camera.");
    const std::string dir = *app->recordDir;
    EXPECT_EQ(mode(dir), 0700u);
    EXPECT_EQ(mode(Script::folder()), 0700u);

    for (int finishing = 0; finishing < 2; ++finishing) {
        app->startRecording();
        EXPECT_EQ(app->recordCues.size(), finishing ? 17u : 1u);
        EXPECT_EQ(waiting.size(), finishing ? 0u : 1u);
        EXPECT_EQ(countLogged("recording → "), 1);
        // Nobody seen for 10 s: the prompts "away" and "gone" ask for it.
        app->gaze().onAway();
        EXPECT_TRUE(app->cameraOn);
        while (!finishing && !waiting.empty())
            next(*app);
        ASSERT_NE(app->recorder, nullptr) << "finishing until the movie's end is heard";
    }
    finalised(*app);
    EXPECT_EQ(app->recorder, nullptr);
    EXPECT_EQ(app->recordDir, dir) << "kept after the recording";
    EXPECT_TRUE(app->cameraOn) << "the camera stays on";
    app->gaze().onAway();
    EXPECT_FALSE(app->cameraOn);
    EXPECT_EQ(countLogged("camera off (nobody there for 10 s)"), 1);
}

TEST_F(AppRecordTest, EachPromptIsSpokenAndShownHereOrOnThePCAtItsTime) {
    auto app = recorderApp();
    Layout l = app->layout();
    l.screens.push_back(test::pcScreen("pc1/9-9-9", 2, "pc1"));
    app->setLayout(l);
    app->connected = {"pc1"};
    // Each step as "time | sentences begun | targets shown here | lines to the PC".
    std::vector<std::string> steps;
    std::size_t heard = 0;
    auto look = [&] {
        std::ostringstream step;
        step << now - 100 << " |";
        for (; heard < speech->events.size(); ++heard)
            step << " " << speech->events[heard];
        step << " |";
        for (const auto& [display, t] : app->overlays.targets())
            if (t.visible)
                step << " " << display << " " << MacOverlays::text(t.mode);
        step << " |";
        for (const std::string& line : pcLines)
            step << " " << line;
        pcLines.clear();
        steps.push_back(step.str());
    };
    app->startRecording();
    for (look(); !waiting.empty(); look())
        next(*app);
    // Screen 1 is this computer's, screen 2 the PC's; each step first hides both sides.
    const std::map<std::size_t, std::string> want = {
        {0, "0 | say Look at the camera. | 0 camera | pc1 o 0 off 2"},
        {3, "8.5 | say Screen 1, top left. | 0 corner(tl) | pc1 o 0 off 2"},
        {7, "20.5 | say Screen 2, top left. | | pc1 o 0 off 2 pc1 o 0 tl 2"},
        {11, "32.5 | say Look at the middle of screen 1. | 0 number | pc1 o 0 off 2"},
        {12, "36.5 | say Look at the middle of screen 2. | | pc1 o 0 off 2 pc1 o 0 id 2"},
        {37, "128.5 | say Done. Thank you! | | pc1 o 0 off 2"},
        {38, "130 | | | pc1 o 0 off 2"}, // finished
    };
    ASSERT_EQ(steps.size(), 39u);
    for (const auto& [i, w] : want)
        EXPECT_EQ(steps[i], w) << i;
    // One sentence for every prompt, and each cue written at the time it was given.
    EXPECT_EQ(speech->events.size(), 38u);
    ASSERT_EQ(app->recordCues.size(), 38u);
    for (std::size_t i = 0; i < 38; ++i)
        EXPECT_DOUBLE_EQ(std::stod(steps[i]), app->recordCues[i].start) << i;
    finalised(*app);
}

TEST_F(AppRecordTest, AnEarlierRecordingsPromptsDoNothing) {
    auto app = recorderApp();
    app->startRecording();
    // The user's switch ends the movie; its prompt chain still has a step waiting.
    app->setCamera(false, "you asked");
    for (const auto& [display, t] : app->overlays.targets())
        EXPECT_FALSE(t.visible) << "no prompt stays up for a recording that ended";
    finalised(*app);
    EXPECT_EQ(app->hud.note(), "Camera switched off. The recording stopped; it wasn't saved.");
    EXPECT_EQ(countLogged("recording failed: the camera was switched off"), 1);
    app->setCamera(true, "you asked");
    app->startRecording();
    ASSERT_EQ(waiting.size(), 2u);
    auto old = std::move(waiting.front());
    waiting.erase(waiting.begin());
    old();
    EXPECT_EQ(app->recordCues.size(), 1u);
    EXPECT_EQ(waiting.size(), 1u) << "the earlier chain ends";
    EXPECT_TRUE(app->movie->recording());
}

TEST_F(AppRecordTest, SavedOnlyWithTheCueListWrittenAndTheMovieComplete) {
    struct Case {
        std::string what;
        bool breaks;
        bool filming;        // frames arrive at all
        bool blockScript;    // "script.json" cannot be written
        bool cameraFails;    // the camera fails half way: the prompts stop
        std::string failure; // the log's reason, empty when saved
    };
    const Case cases[] = {
        {"complete", false, true, false, false, ""},
        {"cue list not written", false, true, true, false, "script.json could not be written"},
        {"movie not written", true, true, false, false, "the movie could not be written"},
        {"no frames", false, false, false, false, "the movie holds no frames"},
        {"camera failed", false, true, false, true, "the camera stopped"},
    };
    for (const Case& c : cases) {
        film->breaks = c.breaks;
        film->frames = 0;
        frame = 0;
        now = 100;
        auto app = recorderApp();
        const int before = countLogged("recording failed: ");
        app->startRecording();
        const Layout atStart = app->layout();
        if (c.blockScript)
            std::filesystem::create_directory(*app->recordDir + "/script.json");
        Layout moved = atStart;
        moved.screens[0].yaw = 30;
        app->setLayout(moved);
        while (!waiting.empty()) {
            if (c.cameraFails && app->recordCues.size() == 8)
                app->gaze().onFailure(CameraTrouble::stopped, "the camera sent nothing");
            next(*app, c.filming);
        }
        if (!c.cameraFails) {
            EXPECT_EQ(app->hud.note(), "Done. Thank you!")
                << c.what << ": saved only once finished";
        }
        finalised(*app);
        if (c.failure.empty()) {
            EXPECT_EQ(app->hud.note(), "Recording saved on this computer. Thank you!");
            const std::string path = *app->recordDir + "/script.json";
            EXPECT_EQ(mode(path), 0600u);
            std::ifstream in(path);
            const Script s = Script::decode(std::string(std::istreambuf_iterator<char>(in), {}));
            EXPECT_EQ(s.layout, atStart) << "the desk as it stood at the start";
            EXPECT_EQ(s.cues, app->recordCues);
            ASSERT_EQ(s.cues.size(), 17u);
            EXPECT_DOUBLE_EQ(s.cues.back().start, 62.5);
            EXPECT_NEAR(film->frames, 64 * 30, 1);
        } else {
            EXPECT_EQ(app->hud.note(), "The recording couldn't be saved.") << c.what;
            EXPECT_EQ(countLogged("recording failed: " + c.failure), 1) << c.what;
            EXPECT_EQ(countLogged("recording failed: "), before + 1) << c.what;
        }
        std::filesystem::remove_all(Script::folder());
    }
}

} // namespace
