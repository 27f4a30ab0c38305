#include "FakeCamera.h"
#include "gaze/camera/GazeEngine.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <chrono>
#include <thread>

namespace helm {
namespace {

using Step = test::FakeCamera::Step;
using Clock = std::chrono::steady_clock;

void needApplication() {
    static int argc = 1;
    static char name[] = "camera_recovery_test";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr)
        new QCoreApplication(argc, argv); // lives as long as the test program
}

// Runs the main thread's events until done() holds or 10 s have passed.
bool runUntil(const std::function<bool()>& done) {
    const auto limit = Clock::now() + std::chrono::seconds(10);
    while (!done() && Clock::now() < limit)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

TEST(CameraRecovery, AFailedCameraIsReportedOnceOnTheMainThreadAndWorksWhenStartedAgain) {
    needApplication();
    struct Case {
        const char* what;
        Step first;
        std::string reason;
        CameraTrouble trouble;
    };
    const Case cases[] = {
        {"cannot be opened", Step::failOpen, "camera /dev/video0 cannot be opened",
         CameraTrouble::failed},
        {"held by another", Step::busy, "camera /dev/video0 is in use by obs", CameraTrouble::busy},
        {"stops sending", Step::stopAfterFrames, "camera /dev/video0 stopped sending frames",
         CameraTrouble::stopped},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto camera = std::make_shared<test::FakeCamera>(std::deque<Step>{c.first});
        GazeEngine::Options options;
        options.camera = camera;
        GazeEngine engine(options);
        std::vector<std::string> failures;
        std::vector<CameraTrouble> troubles;
        int opened = 0;
        bool onMainThread = true;
        engine.onFailure = [&](CameraTrouble trouble, const std::string& why) {
            onMainThread = onMainThread && QThread::currentThread() == qApp->thread();
            failures.push_back(why);
            troubles.push_back(trouble);
        };
        engine.onOpen = [&] { ++opened; };
        ASSERT_TRUE(engine.available());
        engine.start();
        ASSERT_TRUE(runUntil([&] { return !failures.empty(); }));
        EXPECT_EQ(failures, std::vector<std::string>{c.reason});
        EXPECT_EQ(troubles, std::vector<CameraTrouble>{c.trouble});
        EXPECT_TRUE(onMainThread);
        EXPECT_EQ(opened, c.first == Step::stopAfterFrames ? 1 : 0);
        EXPECT_TRUE(engine.available()) << "a camera that failed is tried again";

        const int framesBefore = camera->frames;
        const long readBefore = engine.processed;
        engine.start();
        // The first read waits for the face model to load, and frames of the stopped run may
        // still be read after its failure: wait for a frame of the new run.
        EXPECT_TRUE(runUntil(
            [&] { return camera->frames > framesBefore && engine.processed > readBefore; }));
        EXPECT_EQ(camera->made, 2) << "the second start opens the device afresh";
        EXPECT_EQ(failures.size(), 1u);
        EXPECT_TRUE(runUntil([&] { return opened == (c.first == Step::stopAfterFrames ? 2 : 1); }));
        engine.stop();
    }
}

TEST(CameraRecovery, QuittingDoesNotWaitForAStalledRead) {
    needApplication();
    auto camera = std::make_shared<test::FakeCamera>(std::deque<Step>{Step::stall});
    GazeEngine::Options options;
    options.camera = camera;
    auto engine = std::make_unique<GazeEngine>(options);
    engine->start();
    ASSERT_TRUE(runUntil([&] { return camera->stalled.load(); }));

    const auto began = Clock::now();
    engine.reset();
    EXPECT_LT(Clock::now() - began, std::chrono::seconds(1));
    // The read returns after the engine is gone and must touch nothing of it.
    camera->release();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

} // namespace
} // namespace helm
