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
#include <ctime>
#include <thread>

namespace {

void application() {
    static int argc = 1;
    static char name[] = "gaze_engine_bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

void BM_FrameToMainThread(benchmark::State& state) {
    application();
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

// The engine's share of one core while the camera runs: ten seconds of a 15 Hz video played
// through the whole pipeline (pacer, face reader, eye reader, callbacks), once with a still
// face at desk distance and once with nobody in view. The counter cpu_share is the process's
// CPU time over the video's length: 0.10 is a tenth of one core.
namespace {

constexpr double kVideoHz = 15;
constexpr int kVideoFrames = 150;

// Plays prepared frames at 15 Hz without waiting between them, as a recorded video does.
class StillVideo : public helm::FrameSource {
public:
    StillVideo(std::vector<cv::Mat> frames, std::atomic<bool>& ended)
        : frames_(std::move(frames)), ended_(ended) {}
    bool open() override { return true; }
    std::optional<helm::Frame> next() override {
        if (n_ == kVideoFrames) {
            ended_ = true;
            return std::nullopt;
        }
        const auto& image = frames_[static_cast<std::size_t>(n_) % frames_.size()];
        return helm::Frame{image, 1000.0 + n_++ / kVideoHz};
    }
    void close() override {}
    bool live() const override { return false; }
    std::string problem() const override { return {}; }

private:
    std::vector<cv::Mat> frames_;
    std::atomic<bool>& ended_;
    int n_ = 0;
};

double processSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void playVideo(benchmark::State& state, const std::vector<cv::Mat>& frames) {
    application();
    cv::setNumThreads(1);
    if (frames.empty() || frames.front().empty()) {
        state.SkipWithError("face photographs missing: install libdlib19.1");
        return;
    }
    // Load the landmark model before measuring: it happens once per run of the program.
    {
        helm::DlibFaceReader warm;
        warm.problem();
    }
    double cpu = 0, video = 0;
    long faces = 0, read = 0;
    for (auto _ : state) {
        std::atomic<bool> ended{false};
        helm::GazeEngine::Options options;
        options.present = [] { return true; };
        options.source = [&] { return std::make_unique<StillVideo>(frames, ended); };
        options.clock = [] { return 0.0; };
        helm::GazeEngine engine(options);
        std::atomic<long> seen{0};
        engine.onFace = [&](std::optional<helm::Face> f) { seen += f ? 1 : 0; };
        engine.onAngle = [](std::optional<helm::Angle>, std::optional<helm::Angle>, double) {};
        engine.onBrightness = [](double) {};
        const double before = processSeconds();
        const auto start = std::chrono::steady_clock::now();
        engine.start();
        while (!ended)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        engine.stop();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        cpu += processSeconds() - before;
        video += kVideoFrames / kVideoHz;
        faces += seen;
        read += engine.processed;
    }
    state.counters["cpu_share"] = cpu / video;
    state.counters["faces_per_read"] = read ? static_cast<double>(faces) / read : 0;
}

cv::Mat colourFace(double shift) {
    cv::Mat photo = cv::imread("/usr/share/doc/libdlib19.1/examples/faces/2008_002506.jpg");
    if (photo.empty())
        return {};
    cv::Mat frame, moved;
    cv::resize(photo, frame, {640, 480});
    cv::warpAffine(frame, moved, cv::Matx23d(1, 0, shift, 0, 1, shift), frame.size());
    return moved;
}

void BM_FaceInView(benchmark::State& state) {
    // One pixel of jitter between frames, so the tracker has to follow.
    playVideo(state, {colourFace(0), colourFace(1)});
}
BENCHMARK(BM_FaceInView)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_NobodyInView(benchmark::State& state) {
    // An empty room: a textured scene with a little sensor noise, no face.
    cv::Mat scene(480, 640, CV_8UC1);
    cv::RNG rng(7);
    rng.fill(scene, cv::RNG::UNIFORM, 0, 256);
    cv::GaussianBlur(scene, scene, cv::Size(0, 0), 4);
    cv::normalize(scene, scene, 40, 200, cv::NORM_MINMAX);
    std::vector<cv::Mat> frames;
    for (int i = 0; i < 2; ++i) {
        cv::Mat noise(scene.size(), CV_8UC1), frame, colour;
        rng.fill(noise, cv::RNG::NORMAL, 3, 3);
        cv::add(scene, noise, frame);
        cv::cvtColor(frame, colour, cv::COLOR_GRAY2BGR);
        frames.push_back(colour);
    }
    playVideo(state, frames);
}
BENCHMARK(BM_NobodyInView)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
