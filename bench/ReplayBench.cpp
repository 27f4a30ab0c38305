// How fast the replay scores a recording: recorded seconds per wall-clock second, with the
// face reader of the live path on a generated 60 s movie of a face photograph.
#include "guide/Replay.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <fstream>
#include <sstream>

namespace {

constexpr double seconds = 60;

std::string makeRecording(const QTemporaryDir& dir) {
    using namespace helm;
    const std::string folder = dir.path().toStdString();
    Script script;
    Screen s;
    s.id = "mac/1";
    s.number = 1;
    script.layout.screens = {s};
    double t = 0;
    for (const auto& item : Script::plan(script.layout.screens)) {
        if (t + item.secs > seconds)
            break;
        script.cues.push_back({t, t + item.secs, item.kind,
                               item.screen ? std::optional(item.screen->id) : std::nullopt});
        t += item.secs;
    }
    std::ofstream(folder + "/script.json") << script.encode();
    cv::Mat photo = cv::imread("/usr/share/doc/libdlib19.1/examples/faces/2008_002506.jpg");
    cv::Mat frame(480, 640, CV_8UC3, cv::Scalar::all(90));
    if (!photo.empty())
        cv::resize(photo, frame, {640, 480});
    cv::VideoWriter movie(folder + "/clip.mov", cv::VideoWriter::fourcc('m', 'p', '4', 'v'), 30,
                          {640, 480});
    for (int i = 0; i < seconds * 30; ++i)
        movie.write(frame);
    return folder;
}

void replayRecording(benchmark::State& state) {
    cv::setNumThreads(1);
    QTemporaryDir dir;
    const std::string folder = makeRecording(dir);
    for (auto _ : state) {
        std::ostringstream out;
        helm::Replay::run(folder, out, out);
        benchmark::DoNotOptimize(out.str());
    }
    // items/s reads as recorded seconds scored per second.
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * seconds));
}
BENCHMARK(replayRecording)->Unit(benchmark::kSecond)->Iterations(2);

} // namespace
