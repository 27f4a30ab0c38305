// Cost of reading the face from one 640 × 480 frame on one core: a tracked frame (landmarks
// only), a frame that runs the detector over the whole frame, and an empty frame (both
// detector passes, which is what each frame costs while nobody is in view).
#include "gaze/face/DlibFaceReader.h"

#include <benchmark/benchmark.h>
#include <opencv2/core/utility.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace {

cv::Mat deskFrame() {
    cv::Mat grey = cv::imread("/usr/share/doc/libdlib19.1/examples/faces/2008_002506.jpg",
                              cv::IMREAD_GRAYSCALE);
    cv::Mat frame;
    if (!grey.empty())
        cv::resize(grey, frame, {640, 480});
    return frame;
}

// Two frames one pixel apart, so the tracker really has to follow.
std::pair<cv::Mat, cv::Mat> jitteredFrames() {
    cv::Mat a = deskFrame(), b;
    if (!a.empty())
        cv::warpAffine(a, b, cv::Matx23d(1, 0, 1, 0, 1, 1), a.size());
    return {a, b};
}

void BM_TrackedFrame(benchmark::State& state) {
    cv::setNumThreads(1);
    auto [a, b] = jitteredFrames();
    if (a.empty()) {
        state.SkipWithError("face photographs missing: install libdlib19.1");
        return;
    }
    helm::DlibFaceReader::Options options;
    options.confirmEvery = 1 << 30;
    helm::DlibFaceReader reader(options);
    if (!reader.read(a)) {
        state.SkipWithError("no face found");
        return;
    }
    bool flip = false;
    for (auto _ : state) {
        benchmark::DoNotOptimize(reader.read(flip ? a : b));
        flip = !flip;
    }
}
BENCHMARK(BM_TrackedFrame)->Unit(benchmark::kMillisecond)->Repetitions(5);

// Tracking as it runs live: one frame in eight also confirms the face with the detector.
void BM_TrackedFrameWithChecks(benchmark::State& state) {
    cv::setNumThreads(1);
    auto [a, b] = jitteredFrames();
    if (a.empty()) {
        state.SkipWithError("face photographs missing: install libdlib19.1");
        return;
    }
    helm::DlibFaceReader reader;
    reader.read(a);
    bool flip = false;
    for (auto _ : state) {
        benchmark::DoNotOptimize(reader.read(flip ? a : b));
        flip = !flip;
    }
}
BENCHMARK(BM_TrackedFrameWithChecks)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_DetectedFrame(benchmark::State& state) {
    cv::setNumThreads(1);
    const cv::Mat frame = deskFrame();
    if (frame.empty()) {
        state.SkipWithError("face photographs missing: install libdlib19.1");
        return;
    }
    helm::DlibFaceReader reader;
    reader.read(frame);
    for (auto _ : state) {
        reader.reset();
        benchmark::DoNotOptimize(reader.read(frame));
    }
}
BENCHMARK(BM_DetectedFrame)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_EmptyFrame(benchmark::State& state) {
    cv::setNumThreads(1);
    const cv::Mat frame(480, 640, CV_8UC1, cv::Scalar(100));
    helm::DlibFaceReader::Options options;
    options.farEvery = 1;
    helm::DlibFaceReader reader(options);
    reader.read(frame);
    for (auto _ : state)
        benchmark::DoNotOptimize(reader.read(frame));
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond)->Repetitions(5);

} // namespace
