#include "gaze/feed/FrameSlot.h"

#include <QMetaObject>

namespace helm {

void FrameSlot::push(const Frame& frame) {
    if (watchers_.load() <= 0 || frame.image.empty()) {
        return;
    }
    std::lock_guard lock(mutex_);
    latest_ = frame.image;
    if (posted_) {
        return;
    }
    posted_ = true;
    // Queued to this object, so a slot gone before the event runs drops it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            {
                std::lock_guard again(mutex_);
                posted_ = false;
            }
            emit ready();
        },
        Qt::QueuedConnection);
}

void FrameSlot::watch(bool shown) {
    if (watchers_.fetch_add(shown ? 1 : -1) == 1 && !shown) {
        // The last preview went away: the picture would only be stale when one comes back.
        clear();
    }
}

cv::Mat FrameSlot::latest() const {
    std::lock_guard lock(mutex_);
    return latest_;
}

void FrameSlot::clear() {
    std::lock_guard lock(mutex_);
    latest_.release();
}

} // namespace helm
