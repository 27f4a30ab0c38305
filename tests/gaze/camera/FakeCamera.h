#pragma once

#include "platform/CameraSource.h"

#include <opencv2/core.hpp>

#include <atomic>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <string>

namespace helm::test {

// A camera whose every switching-on follows the next step of a script: it cannot be opened,
// another program holds it, it sends a few frames and stops, sends grey frames at 30 a second
// until closed, or holds its opening or its first read until released. Once the script is used
// up it keeps working (or, with `always`, keeps to its last step). It can be unplugged and
// plugged in, the one in use pulled out while another stays, and freed by the program that
// held it. Made with std::make_shared: its sources keep it alive,
// also one abandoned in a stalled read.
class FakeCamera : public CameraSource, public std::enable_shared_from_this<FakeCamera> {
public:
    enum class Step { failOpen, busy, stopAfterFrames, works, stall, stallOpen };

    explicit FakeCamera(std::deque<Step> script, bool always = false)
        : script_(std::move(script)), always_(always) {}

    bool present() const override { return plugged; }
    std::unique_ptr<FrameSource> make(std::function<double()> clock) override;
    void watch(std::function<void()> changed) override { changed_ = std::move(changed); }
    void watchRelease(std::function<void()> released) override { letGo_ = std::move(released); }
    // The program that held it lets go: it works from the next switching-on, and with `told`
    // the watcher hears so, as from a close of the device it could see.
    void free(bool told);
    // Plugs the camera in or out and tells the watcher, as the device folder would.
    void plug(bool in) {
        plugged = in;
        if (changed_)
            changed_();
    }
    // The device in use is pulled out: its reads fail from now on, and with `another` a second
    // camera stays there.
    void unplugInUse(bool another) {
        ++pulled;
        plug(another);
    }
    std::atomic<bool> plugged{true};
    std::atomic<int> pulled{0};

    // Sources made so far, those not yet freed, and frames read from all of them.
    std::atomic<int> made{0};
    std::atomic<int> unfreed{0};
    std::atomic<int> frames{0};
    // A stalled opening or read has begun; it ends once release() is called.
    std::atomic<bool> stalled{false};
    void release() { gate_.set_value(); }

private:
    std::mutex mutex_;
    std::deque<Step> script_;
    bool always_;
    std::function<void()> changed_;
    std::function<void()> letGo_;
    std::promise<void> gate_;
    std::shared_future<void> released_ = gate_.get_future().share();
};

} // namespace helm::test
