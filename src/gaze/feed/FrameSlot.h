#pragma once

#include "platform/FrameSource.h"

#include <QObject>

#include <atomic>
#include <mutex>

namespace helm {

// The camera's latest picture on its way to the previews. The capture queue hands in every
// frame at camera rate; only the newest is kept, and at most one wake-up is posted to the main
// thread however many frames arrive before it runs. While no preview shows, frames are not
// even kept.
class FrameSlot : public QObject {
    Q_OBJECT
public:
    FrameSlot() = default;

    // Any thread. The image is kept by reference: the camera never reuses it.
    void push(const Frame& frame);

    // Main thread: a preview became visible (true) or stopped being so (false).
    void watch(bool shown);
    bool watched() const { return watchers_.load() > 0; }

    // Main thread: the newest picture, empty when there is none.
    cv::Mat latest() const;
    // Main thread: forgets the picture (the camera went off).
    void clear();

signals:
    // A new picture arrived; main thread.
    void ready();

private:
    mutable std::mutex mutex_;
    cv::Mat latest_;
    bool posted_ = false;
    std::atomic<int> watchers_{0};
};

} // namespace helm
