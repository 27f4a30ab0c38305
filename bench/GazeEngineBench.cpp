// Latency from a captured frame entering the engine to its angles arriving on the main
// thread, the way the application receives them: read on the camera queue, then handed to the
// main thread's event loop. A still face at desk distance, so the frames are tracked ones.
#include "gaze/camera/GazeEngine.h"
#include "platform/OnMain.h"

#include <benchmark/benchmark.h>
#include <opencv2/core/utility.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

void BM_FrameToMainThread(benchmark::State& state) {
    static int argc = 1;
    static char name[] = "gaze_engine_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    cv::setNumThreads(1);

    cv::Mat photo = cv::imread("/usr/share/doc/libdlib19.1/examples/faces/2008_002506.jpg");
    if (photo.empty()) {
        state.SkipWithError("face photographs missing: install libdlib19.1");
        return;
    }
    cv::Mat frame;
    cv::resize(photo, frame, {640, 480});

    helm::GazeEngine::Options options;
    options.present = [] { return true; };
    options.source = [] { return std::unique_ptr<helm::FrameSource>(); };
    helm::GazeEngine engine(options);
    std::atomic<bool> arrived{false};
    engine.onAngle = [&](std::optional<helm::Angle>, std::optional<helm::Angle>, double) {
        helm::onMain([&] { arrived = true; });
    };

    auto once = [&](double t) {
        for (;;) {
            arrived = false;
            const auto start = std::chrono::steady_clock::now();
            engine.deliver({frame, t});
            const auto limit = start + std::chrono::seconds(2);
            while (!arrived && std::chrono::steady_clock::now() < limit)
                QCoreApplication::processEvents(QEventLoop::AllEvents);
            const auto end = std::chrono::steady_clock::now();
            // The angles arrive just before the camera queue finishes the frame; give it that
            // moment, untimed, so the next frame is not dropped as arriving while it is busy.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (arrived)
                return std::chrono::duration<double>(end - start).count();
            t += 1.0;
        }
    };
    // The first frame loads the face model and runs the detector; the rest are tracked.
    double t = 0;
    once(t);
    for (auto _ : state) {
        t += 1.0; // far enough apart for the pacer to read every one
        state.SetIterationTime(once(t));
    }
}
BENCHMARK(BM_FrameToMainThread)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->Iterations(200);

} // namespace
