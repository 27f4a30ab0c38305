#pragma once

#include "desk/Angle.h"
#include "gaze/EyeReader.h"
#include "gaze/Face.h"
#include "gaze/FrameGovernor.h"
#include "gaze/FrameReading.h"
#include "gaze/SearchPacer.h"
#include "gaze/face/DlibFaceReader.h"
#include "platform/CameraSource.h"
#include "platform/FrameSource.h"
#include "platform/SerialQueue.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace helm {

// Owns the camera: captures frames, lets the pacer pick the ones worth reading, reads each of
// those into a head angle, an eye angle and a face on the queue "pivmor.camera", and reports
// through the callbacks below.
//
// Capture runs on a queue of its own ("pivmor.camera.grab") because grabbing waits for the
// camera; a frame that arrives while the previous one is still being read is dropped there.
// A camera call that does not return is left behind with its queue: the next start reads on a
// fresh one, and the old one closes and frees itself once the call returns.
class GazeEngine {
public:
    struct Options {
        // The camera, asked for a fresh source each time it is turned on.
        std::shared_ptr<CameraSource> camera;
        // Makes the frame source instead of the camera when set (a video file).
        std::function<std::unique_ptr<FrameSource>()> source;
        // Whether a source can be had now; the camera's own answer when empty.
        std::function<bool()> present;
        // The media clock, seconds; the absence of a head is measured on it.
        std::function<double()> clock;
        DlibFaceReader::Options face;
    };

    GazeEngine();
    explicit GazeEngine(Options options);
    // Stops capture and finishes the frame being read. A camera read that does not return
    // soon is abandoned with its queue rather than waited for, so quitting never hangs on it.
    ~GazeEngine();

    GazeEngine(const GazeEngine&) = delete;
    GazeEngine& operator=(const GazeEngine&) = delete;

    // A camera is there now. One that fails is reported through onFailure and tried again by
    // the next start().
    bool available() const { return options_.present(); }
    // Opens the camera and starts capture; returns at once. The absence clock starts now. A
    // reader stuck in a camera call is left behind and a fresh one opens the camera. On the
    // main thread, as stop().
    void start();
    // A camera call (an open or a read) that has run this long, in seconds on the clock, is
    // taken to be stuck by the next start. Frames come many times a second.
    static constexpr double stuckAfter = 2;
    // Stuck readers left behind at most; while that many wait, a start fails instead.
    static constexpr int mostStuck = 3;
    // Stops capture and releases the camera (once a call that holds it returns); returns at
    // once.
    void stop();
    // Watches for the absence of a head again from now, for an owner that let a report pass.
    void watchAbsence();

    // Reads one grey frame: the face, and the head and eye angles of its pose.
    static FrameReading read(const cv::Mat& grey, DlibFaceReader& reader, EyeReader& eyes);

    // The entry for each captured frame; runs the reading on the camera queue, or drops the
    // frame when that queue is still busy with the previous one. Callable from any thread.
    void deliver(Frame frame);

    // Set once on the main thread before the camera is first started. onAngle, onFace and
    // onBrightness run on the camera queue; onAway runs on the main thread.
    std::function<void(std::optional<Angle> head, std::optional<Angle> eye, double time)> onAngle;
    std::function<void(std::optional<Face>)> onFace;
    std::function<void(double)> onBrightness;
    // Once for each time no head has been seen for more than 10 s.
    std::function<void()> onAway;
    // The camera could not be opened or stopped sending frames: capture has ended. Runs on the
    // main thread with the kind of trouble and the reason; logged through onLog when unset.
    std::function<void(CameraTrouble, const std::string&)> onFailure;
    // The camera opened and capture runs; on the main thread.
    std::function<void()> onOpen;
    // Capture devices appeared or disappeared; on the main thread.
    std::function<void()> onDevices;
    // Another program let go of the camera it held; on the main thread.
    std::function<void()> onReleased;
    // Problems worth a log line (a camera that cannot be opened, a missing face model); called
    // on the camera queues.
    std::function<void(const std::string&)> onLog;
    // Every captured frame, read or dropped, goes to each subscriber (the camera previews and
    // the recorder). They run on the capture queue and must not hold it up (the image may be
    // kept: it is not reused). Subscribing and unsubscribing work from any thread but never
    // from inside a subscriber; once unsubscribe returns, that subscriber is not called again.
    using FrameSubscriber = std::function<void(const Frame&)>;
    int subscribeFrames(FrameSubscriber fn);
    void unsubscribeFrames(int id);

    // Frames read so far; read from any thread.
    std::atomic<long> processed{0};
    // Frames the source gave so far, read or dropped: the camera still sends while it grows.
    std::atomic<long> captured{0};

private:
    Options options_;
    std::mutex frameMutex_;
    std::vector<std::pair<int, FrameSubscriber>> frameSubscribers_;
    int nextSubscriber_ = 0;
    void sendFrame(const Frame& frame);
    std::atomic<bool> busy_{false};
    std::atomic<unsigned> generation_{0};
    std::shared_ptr<std::atomic<bool>> alive_;

    // Camera queue state.
    FrameGovernor governor_;
    SearchPacer search_;
    DlibFaceReader reader_;
    EyeReader eyes_;
    double lastFace_ = 0;
    double lastBrightness_ = 0;
    bool toldModel_ = false;

    // The reader: capture queue state, shared with that queue so an abandoned read can finish
    // safely. Replaced on the main thread only, when a stuck one is left behind.
    struct Capture;
    std::shared_ptr<Capture> capture_;
    // Readers left behind that have not returned yet; shared with them.
    std::shared_ptr<std::atomic<int>> stuck_;
    static std::shared_ptr<Capture> newReader(const std::shared_ptr<std::atomic<int>>& stuck);
    // Stops using the reader: freed now when no camera call holds it, else by its own queue
    // once the call returns. True when left behind so.
    static bool leave(const std::shared_ptr<Capture>& capture);
    // The reader to start on: the current one, or a fresh one when it is stuck; none when too
    // many are stuck already.
    bool freshReader();
    // Called on the reader's queue after a camera call returned: false when the reader was
    // left meanwhile (its source is then closed and freed, and its queue with it).
    static bool back(Capture& capture);

    void process(const Frame& frame);
    static void grab(GazeEngine* self, const std::shared_ptr<Capture>& capture,
                     unsigned generation);
    void fail(CameraTrouble trouble, const std::string& problem);
    void opened();
    void say(const std::string& line) const;

    // Last, so it is stopped (and its posted work finished) before the state above goes.
    SerialQueue queue_{"pivmor.camera"};
};

} // namespace helm
