#include "gaze/camera/GazeEngine.h"

#include "gaze/PixelView.h"
#include "gaze/camera/CameraSource.h"
#include "platform/MediaClock.h"
#include "platform/OnMain.h"

#include <opencv2/imgproc.hpp>

#include <limits>

namespace helm {

GazeEngine::GazeEngine() : GazeEngine(Options{}) {}

GazeEngine::GazeEngine(Options options)
    : options_(std::move(options)), alive_(std::make_shared<std::atomic<bool>>(true)),
      reader_(options_.face) {
    if (!options_.clock)
        options_.clock = mediaNow;
    if (!options_.source) {
        auto clock = options_.clock;
        options_.source = [clock] { return std::make_unique<CameraSource>(clock); };
        if (!options_.present)
            options_.present = [] { return CameraSource::present(); };
    }
    available_ = !options_.present || options_.present();
}

GazeEngine::~GazeEngine() {
    *alive_ = false;
    stop();
    grabber_.sync([] {});
    queue_.sync([] {});
}

void GazeEngine::say(const std::string& line) const {
    if (onLog)
        onLog(line);
}

void GazeEngine::start() {
    if (!available_) {
        say("camera: none found");
        return;
    }
    const unsigned generation = ++generation_;
    queue_.post([this] { lastFace_ = options_.clock(); });
    grabber_.post([this, generation] {
        if (generation != generation_)
            return;
        if (!source_)
            source_ = options_.source();
        if (!source_ || !source_->open()) {
            say(source_ ? source_->problem() : std::string("camera: none found"));
            source_.reset();
            available_ = false;
            return;
        }
        grab(generation);
    });
}

void GazeEngine::stop() {
    ++generation_;
    grabber_.post([this] {
        if (source_)
            source_->close();
        source_.reset();
    });
}

void GazeEngine::grab(unsigned generation) {
    if (generation != generation_ || !source_)
        return;
    auto frame = source_->next();
    if (!frame) {
        // A live camera that stops sending is gone; a file has simply ended.
        if (source_->live()) {
            say(source_->problem());
            available_ = false;
        }
        source_->close();
        source_.reset();
        return;
    }
    if (onFrame)
        onFrame(*frame);
    if (source_->live())
        deliver(std::move(*frame));
    else
        queue_.sync([&] { process(*frame); });
    // Queued rather than looped, so a stop() posted meanwhile runs between two frames.
    grabber_.post([this, generation] { grab(generation); });
}

void GazeEngine::deliver(Frame frame) {
    if (busy_.exchange(true))
        return;
    queue_.post([this, frame = std::move(frame)] {
        process(frame);
        busy_ = false;
    });
}

FrameReading GazeEngine::read(const cv::Mat& grey, DlibFaceReader& reader, EyeReader& eyes) {
    std::vector<FaceObservation> faces;
    if (auto face = reader.read(grey))
        faces.push_back(std::move(*face));
    return readFrame(faces, eyes);
}

void GazeEngine::process(const Frame& frame) {
    const double t = frame.time;
    if (!governor_.shouldRun(t))
        return;
    if (frame.image.empty() || frame.image.depth() != CV_8U)
        return;
    ++processed;

    // One grey plane serves both the detector and the brightness measure.
    cv::Mat grey;
    switch (frame.image.channels()) {
    case 1:
        grey = frame.image;
        break;
    case 3:
        cv::cvtColor(frame.image, grey, cv::COLOR_BGR2GRAY);
        break;
    case 4:
        cv::cvtColor(frame.image, grey, cv::COLOR_BGRA2GRAY);
        break;
    default:
        return;
    }

    const FrameReading reading = read(grey, reader_, eyes_);
    if (!toldModel_ && !reader_.problem().empty()) {
        toldModel_ = true;
        say(reader_.problem());
    }
    if (onFace)
        onFace(reading.face);

    const double now = options_.clock();
    if (reading.head) {
        lastFace_ = now;
    } else if (now - lastFace_ > 10) {
        lastFace_ = std::numeric_limits<double>::infinity();
        onMain([this, alive = alive_] {
            if (*alive && onAway)
                onAway();
        });
    }

    governor_.saw(reading.head, t);
    if (onAngle)
        onAngle(reading.head, reading.eye, t);

    if (t - lastBrightness_ > 1) {
        lastBrightness_ = t;
        if (onBrightness)
            onBrightness(
                brightness(PixelView::luma(grey.data, grey.cols, grey.rows, grey.step[0])));
    }
}

} // namespace helm
