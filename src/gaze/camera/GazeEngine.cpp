#include "gaze/camera/GazeEngine.h"

#include "gaze/PixelView.h"
#include "platform/MediaClock.h"
#include "platform/OnMain.h"

#include <opencv2/imgproc.hpp>

#include <chrono>
#include <cstdio>
#include <future>
#include <limits>
#include <mutex>
#include <utility>

namespace helm {

// What a reader's queue works on. Each piece of work there takes the lock and checks alive
// before touching the engine, and lets go of it while it waits on the camera.
struct GazeEngine::Capture {
    std::mutex mutex;
    bool alive = true; // false once the engine is gone or has left this reader behind
    std::unique_ptr<FrameSource> source;
    // A camera call (an open or a read) runs since then, on the engine's clock.
    std::optional<double> callSince;
    // Left behind while such a call ran: the reader frees itself once the call returns.
    bool orphan = false;
    // The engine owns the queue, or the reader itself once orphaned.
    SerialQueue* queue = nullptr;
    std::shared_ptr<std::atomic<int>> stuck;
};

GazeEngine::GazeEngine() : GazeEngine(Options{}) {}

GazeEngine::GazeEngine(Options options)
    : options_(std::move(options)), alive_(std::make_shared<std::atomic<bool>>(true)),
      reader_(options_.face), stuck_(std::make_shared<std::atomic<int>>(0)) {
    capture_ = newReader(stuck_);
    if (!options_.clock)
        options_.clock = mediaNow;
    if (!options_.present) {
        auto camera = options_.camera;
        const bool hasSource = static_cast<bool>(options_.source);
        options_.present = [camera, hasSource] {
            return hasSource || (camera && camera->present());
        };
    }
    if (options_.camera) {
        options_.camera->watch([this, alive = alive_] {
            if (*alive && onDevices)
                onDevices();
        });
        options_.camera->watchRelease([this, alive = alive_] {
            if (*alive && onReleased)
                onReleased();
        });
    }
}

GazeEngine::~GazeEngine() {
    *alive_ = false;
    ++generation_;
    auto capture = capture_;
    auto closed = std::make_shared<std::promise<void>>();
    capture->queue->post([capture, closed] {
        std::lock_guard lock(capture->mutex);
        if (capture->source)
            capture->source->close();
        capture->source.reset();
        closed->set_value();
    });
    const bool finished =
        closed->get_future().wait_for(std::chrono::milliseconds(300)) == std::future_status::ready;
    {
        std::lock_guard lock(capture->mutex);
        capture->alive = false;
        // A driver that holds a call for seconds would hold quitting too: the reader is left
        // to free itself when the call returns, and touches nothing of this engine then.
        if (!finished && capture->callSince) {
            capture->orphan = true;
            ++*stuck_;
        }
    }
    if (finished)
        delete capture->queue;
    queue_.sync([] {});
}

std::shared_ptr<GazeEngine::Capture>
GazeEngine::newReader(const std::shared_ptr<std::atomic<int>>& stuck) {
    auto capture = std::make_shared<Capture>();
    capture->queue = new SerialQueue("pivmor.camera.grab");
    capture->stuck = stuck;
    return capture;
}

bool GazeEngine::freshReader() {
    double held = 0;
    {
        std::lock_guard lock(capture_->mutex);
        if (!capture_->callSince)
            return true;
        held = options_.clock() - *capture_->callSince;
        if (held < stuckAfter)
            return true; // a frame on its way: the start waits its turn behind it
        if (*stuck_ >= mostStuck)
            return false;
        // Its queue waits on the call: a start posted there would wait too. The call's
        // outcome, frame or failure, is no news any more.
        capture_->alive = false;
        capture_->orphan = true;
        ++*stuck_;
    }
    char line[96];
    std::snprintf(line, sizeof line,
                  "camera: a call has not returned for %.0f s; reading on a fresh queue", held);
    say(line);
    capture_ = newReader(stuck_);
    return true;
}

bool GazeEngine::back(Capture& capture) {
    capture.callSince.reset();
    if (capture.alive)
        return true;
    if (std::exchange(capture.orphan, false)) {
        if (capture.source)
            capture.source->close();
        capture.source.reset();
        --*capture.stuck;
        // A queue cannot end itself from its own thread; the main thread waits for this
        // work to return, then frees it.
        onMain([queue = std::exchange(capture.queue, nullptr)] { delete queue; });
    }
    return false;
}

void GazeEngine::say(const std::string& line) const {
    if (onLog)
        onLog(line);
}

void GazeEngine::fail(CameraTrouble trouble, const std::string& problem) {
    if (!onFailure) {
        say(problem);
        return;
    }
    onMain([this, alive = alive_, trouble, problem] {
        if (*alive && onFailure)
            onFailure(trouble, problem);
    });
}

void GazeEngine::opened() {
    onMain([this, alive = alive_] {
        if (*alive && onOpen)
            onOpen();
    });
}

void GazeEngine::start() {
    if (!available()) {
        fail(CameraTrouble::missing, "camera: none found");
        return;
    }
    const unsigned generation = ++generation_;
    queue_.post([this] {
        lastFace_ = options_.clock();
        search_.restart();
    });
    if (!freshReader()) {
        fail(CameraTrouble::stopped,
             "camera: " + std::to_string(mostStuck) + " calls have not returned");
        return;
    }
    auto capture = capture_;
    capture->queue->post([this, capture, generation] {
        std::unique_lock lock(capture->mutex);
        if (!capture->alive || generation != generation_)
            return;
        if (!capture->source) {
            if (options_.source)
                capture->source = options_.source();
            else if (options_.camera)
                capture->source = options_.camera->make(options_.clock);
        }
        FrameSource* source = capture->source.get();
        capture->callSince = options_.clock();
        lock.unlock();
        // Opening a device can wait on its driver: not under the lock the engine's end takes.
        const bool isOpen = source && source->open();
        lock.lock();
        if (!back(*capture))
            return;
        // A start or stop that came meanwhile decides; this one's outcome is no news.
        const bool current = generation == generation_;
        if (!isOpen) {
            if (current && source)
                fail(source->trouble(), source->problem());
            else if (current)
                fail(CameraTrouble::missing, "camera: none found");
            capture->source.reset();
            return;
        }
        if (!current)
            return;
        opened();
        lock.unlock();
        grab(this, capture, generation);
    });
}

void GazeEngine::stop() {
    ++generation_;
    auto capture = capture_;
    capture->queue->post([capture] {
        std::lock_guard lock(capture->mutex);
        if (capture->source)
            capture->source->close();
        capture->source.reset();
    });
}

void GazeEngine::watchAbsence() {
    queue_.post([this] { lastFace_ = options_.clock(); });
}

void GazeEngine::grab(GazeEngine* self, const std::shared_ptr<Capture>& capture,
                      unsigned generation) {
    std::unique_lock lock(capture->mutex);
    if (!capture->alive || generation != self->generation_ || !capture->source)
        return;
    FrameSource* source = capture->source.get();
    capture->callSince = self->options_.clock();
    lock.unlock();
    auto frame = source->next();
    lock.lock();
    if (!back(*capture))
        return; // the engine is gone or has left this reader: nothing of it is touched
    const bool current = generation == self->generation_;
    if (!frame) {
        // A live camera that stops sending is gone; a file has simply ended.
        if (source->live() && current)
            self->fail(source->trouble(), source->problem());
        source->close();
        capture->source.reset();
        return;
    }
    if (!current)
        return; // stopped or started afresh meanwhile: the frame belongs to no one
    ++self->captured;
    self->sendFrame(*frame);
    if (source->live())
        self->deliver(std::move(*frame));
    else
        self->queue_.sync([&] { self->process(*frame); });
    // Queued rather than looped, so a stop() posted meanwhile runs between two frames.
    capture->queue->post([self, capture, generation] { grab(self, capture, generation); });
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

    // While nobody is in view, only some frames are searched for a face; the others read as
    // the empty frames they most likely are.
    const FrameReading reading =
        search_.shouldSearch(t) ? read(grey, reader_, eyes_) : readFrame({}, eyes_);
    search_.saw(reading.face.has_value(), t);
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

int GazeEngine::subscribeFrames(FrameSubscriber fn) {
    std::lock_guard lock(frameMutex_);
    frameSubscribers_.emplace_back(++nextSubscriber_, std::move(fn));
    return nextSubscriber_;
}

void GazeEngine::unsubscribeFrames(int id) {
    std::lock_guard lock(frameMutex_);
    std::erase_if(frameSubscribers_, [id](const auto& s) { return s.first == id; });
}

void GazeEngine::sendFrame(const Frame& frame) {
    // Called under the lock, so an unsubscribed owner may go away as soon as it returns.
    std::lock_guard lock(frameMutex_);
    for (const auto& s : frameSubscribers_)
        s.second(frame);
}

} // namespace helm
