#include "guide/MovieRecorder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <opencv2/videoio.hpp>

#include <atomic>
#include <random>
#include <thread>

namespace helm {
namespace {

// Counts what it is given; refuses to open or fails after a number of frames when asked.
struct FakeWriter : MovieRecorder::Writer {
    bool opens = true;
    long failAfter = -1;
    std::atomic<long>* count;
    explicit FakeWriter(std::atomic<long>* c) : count(c) {}
    bool open(const std::string&) override { return opens; }
    bool write(const cv::Mat& m) override {
        if (m.cols != 640 || m.rows != 480 || m.channels() != 3)
            return false;
        if (failAfter >= 0 && *count >= failAfter)
            return false;
        ++*count;
        return true;
    }
    long finish() override { return *count; }
};

struct Finished {
    std::atomic<bool> done{false};
    std::optional<std::string> why;
    std::optional<double> started;
};

// The recorder's queue is a Qt thread.
void application() {
    static int argc = 1;
    static char name[] = "guide_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

void wire(MovieRecorder& m, Finished& f) {
    application();
    m.onStarted = [&f](double t) { f.started = t; };
    m.onFinished = [&f](std::optional<std::string> why) {
        f.why = why;
        f.done = true;
    };
}

Frame frame(double t) {
    return {cv::Mat(240, 320, CV_8UC1, cv::Scalar(90)), t};
}

TEST(MovieRecorder, FollowsTheCaptureClockWhateverTheFrameTimes) {
    QTemporaryDir dir;
    MovieRecorder movie; // the real video file
    Finished f;
    wire(movie, f);
    ASSERT_TRUE(movie.start(dir.path().toStdString() + "/clip.mov"));
    std::mt19937 random(7);
    std::uniform_real_distribution<double> jitter(0.01, 0.06);
    for (double t = 100; t < 110;) {
        movie.take(frame(t));
        // A stall, and a frame stamped no later than the one before.
        t += t > 104 && t < 104.06 ? 0.5 : jitter(random);
        if (t > 107 && t < 107.06)
            movie.take(frame(t - 0.02));
    }
    movie.stop();
    while (!f.done)
        std::this_thread::yield();
    EXPECT_FALSE(f.why) << *f.why;
    EXPECT_EQ(f.started, 100);
    cv::VideoCapture check(dir.path().toStdString() + "/clip.mov");
    long n = 0;
    while (check.grab())
        ++n;
    EXPECT_NEAR(n, 300, 1);
}

TEST(MovieRecorder, SaysWhyAMovieIsIncomplete) {
    struct Case {
        bool opens;
        long failAfter;
        int frames;
        std::optional<std::string> why; // given to stop
        bool started;
        std::optional<std::string> said;
    };
    const Case cases[] = {
        {false, -1, 10, std::nullopt, false, std::nullopt},
        {true, -1, 10, std::nullopt, true, std::nullopt},
        {true, 5, 10, std::nullopt, true, "the movie could not be written"},
        {true, -1, 10, "the camera stopped", true, "the camera stopped"},
        {true, -1, 0, std::nullopt, true, "the movie holds no frames"},
    };
    for (const Case& c : cases) {
        std::atomic<long> count{0};
        MovieRecorder movie([&] {
            auto w = std::make_unique<FakeWriter>(&count);
            w->opens = c.opens;
            w->failAfter = c.failAfter;
            return w;
        });
        Finished f;
        wire(movie, f);
        EXPECT_EQ(movie.start("clip.mov"), c.started);
        EXPECT_EQ(movie.recording(), c.started);
        for (int i = 0; i < c.frames; ++i)
            movie.take(frame(i / 30.0));
        movie.stop(c.why);
        if (!c.started)
            continue;
        while (!f.done)
            std::this_thread::yield();
        EXPECT_EQ(f.why, c.said) << c.failAfter;
    }
}

} // namespace
} // namespace helm
