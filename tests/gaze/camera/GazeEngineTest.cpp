#include "gaze/camera/GazeEngine.h"
#include "TestVideo.h"
#include "gaze/camera/VideoFileSource.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <chrono>
#include <cmath>
#include <future>
#include <mutex>
#include <thread>

namespace helm {
namespace {

QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "gaze_engine_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// A video file whose frame times also drive the engine's clock, so ten seconds of video are
// ten seconds of media time however fast the file plays.
struct PlayedVideo {
    std::shared_ptr<std::atomic<double>> now = std::make_shared<std::atomic<double>>(0);
    std::shared_ptr<std::atomic<bool>> ended = std::make_shared<std::atomic<bool>>(false);

    class Source : public VideoFileSource {
    public:
        Source(std::string path, PlayedVideo& video)
            : VideoFileSource(std::move(path)), now_(video.now), ended_(video.ended) {}
        std::optional<Frame> next() override {
            auto frame = VideoFileSource::next();
            if (frame)
                *now_ = frame->time;
            else
                *ended_ = true;
            return frame;
        }

    private:
        std::shared_ptr<std::atomic<double>> now_;
        std::shared_ptr<std::atomic<bool>> ended_;
    };

    GazeEngine::Options options(const std::string& path) {
        GazeEngine::Options o;
        o.source = [this, path] { return std::make_unique<Source>(path, *this); };
        o.present = [] { return true; };
        o.clock = [now = now] { return now->load(); };
        // Long stretches without a face: look far away less often, to keep the test quick.
        o.face.farEvery = 10;
        return o;
    }

    // Runs the main thread's events until the file has played out, then a little longer so
    // anything posted to the main thread arrives.
    void waitForEnd() {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(400);
        while (!*ended && std::chrono::steady_clock::now() < limit) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_TRUE(*ended) << "the video never finished playing";
        for (int i = 0; i < 10; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
};

struct Record {
    std::mutex mutex;
    std::vector<double> times;
    std::vector<std::optional<Angle>> angles;
    std::vector<double> brightness;
    int faces = 0;
    int frames = 0;
    int away = 0;
    std::vector<std::string> log;
};

void listen(GazeEngine& engine, Record& r) {
    engine.onAngle = [&r](std::optional<Angle> head, std::optional<Angle>, double t) {
        std::lock_guard lock(r.mutex);
        r.times.push_back(t);
        r.angles.push_back(head);
    };
    engine.onFace = [&r](std::optional<Face>) {
        std::lock_guard lock(r.mutex);
        ++r.faces;
    };
    engine.onBrightness = [&r](double b) {
        std::lock_guard lock(r.mutex);
        r.brightness.push_back(b);
    };
    engine.subscribeFrames([&r](const Frame&) {
        std::lock_guard lock(r.mutex);
        ++r.frames;
    });
    engine.onAway = [&r] { ++r.away; };
    engine.onLog = [&r](const std::string& line) {
        std::lock_guard lock(r.mutex);
        r.log.push_back(line);
    };
}

TEST(GazeEngine, PlaysAVideoPacedByTheHeadAndReportsEveryReadFrame) {
    application();
    cv::Mat mirrored;
    cv::flip(test::faceFrame(), mirrored, 1);
    const auto path = test::writeVideo("pace", {{test::faceFrame(), 60},
                                                {mirrored, 30},
                                                {test::emptyFrame(), 60},
                                                {test::faceFrame(), 30}});
    PlayedVideo video;
    Record r;
    GazeEngine engine(video.options(path));
    listen(engine, r);
    engine.start();
    video.waitForEnd();

    std::lock_guard lock(r.mutex);
    EXPECT_EQ(r.frames, 180) << "every captured frame reaches the frame consumer";
    ASSERT_GE(r.times.size(), 80u);
    EXPECT_EQ(engine.processed.load(), static_cast<long>(r.times.size()));
    EXPECT_EQ(r.faces, static_cast<int>(r.times.size()));

    // At rest every second frame of 30 is read; for 0.3 s after the head turns by more than
    // 1.5 degrees between two read frames, every frame.
    double burstUntil = -1;
    int burstFrames = 0;
    for (std::size_t i = 1; i < r.times.size(); ++i) {
        const double step = r.times[i] - r.times[i - 1];
        SCOPED_TRACE(testing::Message() << "t " << r.times[i]);
        // The next frame after the one before is read at the burst pace while it falls before
        // the burst's end (a frame right on the end may go either way by rounding).
        const double next = r.times[i - 1] + 1.0 / 30;
        if (std::abs(next - burstUntil) < 1e-6) {
        } else if (next < burstUntil) {
            EXPECT_NEAR(step, 1.0 / 30, 1e-9);
            ++burstFrames;
        } else {
            EXPECT_NEAR(step, 2.0 / 30, 1e-9);
        }
        const auto& a = r.angles[i - 1];
        const auto& b = r.angles[i];
        if (a && b && std::abs(a->yaw - b->yaw) + std::abs(a->pitch - b->pitch) > 1.5)
            burstUntil = r.times[i] + 0.3;
    }
    EXPECT_GT(burstFrames, 0) << "the face turning to its mirror image is a head move";

    // The face is seen while it is there, let go soon after it leaves (within the tracker's
    // check period), and found again when it comes back.
    for (std::size_t i = 0; i < r.times.size(); ++i) {
        const double t = r.times[i];
        if (t < 3.0 || t >= 5.3) {
            EXPECT_TRUE(r.angles[i].has_value()) << "t " << t;
        } else if (t >= 3.6 && t < 5.0) {
            EXPECT_FALSE(r.angles[i].has_value()) << "t " << t;
        }
    }
    // About once a second, also while no face is seen.
    ASSERT_GE(r.brightness.size(), 5u);
    ASSERT_LE(r.brightness.size(), 6u);
    EXPECT_NEAR(r.brightness[3], 100.0 / 255, 0.01) << "the empty grey frame at 3.2 s";
    EXPECT_EQ(r.away, 0);
}

TEST(GazeEngine, ReportsAbsenceOnceAfterTenSecondsWithoutAHead) {
    application();
    struct Case {
        const char* what;
        std::vector<std::pair<cv::Mat, int>> parts;
        int away;
    };
    const Case cases[] = {
        {"nine seconds away", {{test::faceFrame(), 15}, {test::emptyFrame(), 270}}, 0},
        {"twelve seconds away", {{test::faceFrame(), 15}, {test::emptyFrame(), 360}}, 1},
        {"away twice",
         {{test::faceFrame(), 15},
          {test::emptyFrame(), 330},
          {test::faceFrame(), 30},
          {test::emptyFrame(), 345}},
         2},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PlayedVideo video;
        Record r;
        GazeEngine engine(video.options(test::writeVideo("away" + std::to_string(n++), c.parts)));
        listen(engine, r);
        engine.start();
        video.waitForEnd();
        EXPECT_EQ(r.away, c.away);
    }
}

TEST(GazeEngine, StartArmsTheAbsenceClockEvenWithoutAnyHead) {
    application();
    PlayedVideo video;
    Record r;
    GazeEngine engine(video.options(test::writeVideo("nobody", {{test::emptyFrame(), 330}})));
    listen(engine, r);
    engine.start();
    video.waitForEnd();
    EXPECT_EQ(r.away, 1);
}

TEST(GazeEngine, DropsFramesThatArriveWhileOneIsBeingRead) {
    application();
    GazeEngine::Options options;
    options.present = [] { return true; };
    options.source = [] { return std::unique_ptr<FrameSource>(); };
    // The first frame's reading is held up until every other frame has been handed over.
    std::promise<void> release;
    std::shared_future<void> gate = release.get_future().share();
    std::atomic<int> read{0};
    GazeEngine engine(options);
    engine.onFace = [&](std::optional<Face>) { gate.wait(); };
    engine.onAngle = [&](std::optional<Angle>, std::optional<Angle>, double) { ++read; };
    const cv::Mat image = test::faceFrame();
    for (int i = 0; i < 5; ++i)
        engine.deliver({image, static_cast<double>(i)});
    release.set_value();
    // Waits for a frame's reading to finish (its last callback), and a moment more.
    auto settle = [&](int want) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (read < want && std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    };
    settle(1);
    EXPECT_EQ(engine.processed.load(), 1);
    EXPECT_EQ(read.load(), 1);
    // Once the reading is done, the next frame is taken again.
    engine.deliver({image, 10.0});
    settle(2);
    EXPECT_EQ(engine.processed.load(), 2);
}

TEST(GazeEngine, ACameraThatCannotBeOpenedIsUnavailableWithALogLine) {
    application();
    struct Case {
        const char* what;
        bool present;
        std::string line;
    };
    const Case cases[] = {
        {"no camera at all", false, "camera: none found"},
        {"a source that fails to open", true, "video /nonexistent/clip.avi cannot be opened"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GazeEngine::Options options;
        options.present = [p = c.present] { return p; };
        options.source = [] { return std::make_unique<VideoFileSource>("/nonexistent/clip.avi"); };
        Record r;
        GazeEngine engine(options);
        listen(engine, r);
        EXPECT_EQ(engine.available(), c.present);
        engine.start();
        auto logged = [&r] {
            std::lock_guard lock(r.mutex);
            return !r.log.empty();
        };
        for (int i = 0; i < 1000 && !logged(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::lock_guard lock(r.mutex);
        ASSERT_EQ(r.log.size(), 1u);
        EXPECT_EQ(r.log[0], c.line);
        EXPECT_EQ(engine.available(), c.present) << "a failed camera is tried again later";
        EXPECT_EQ(r.frames, 0);
    }
}

TEST(GazeEngine, WithoutACameraTheEngineIsUnavailable) {
    application();
    GazeEngine engine;
    EXPECT_FALSE(engine.available());
}

} // namespace
} // namespace helm
