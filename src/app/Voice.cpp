#include "app/Voice.h"

#include "platform/OnMain.h"

#include <utility>

namespace helm {

Voice::Voice() = default;

Voice::~Voice() {
    if (engine) {
        engine->stop();
    }
}

void Voice::say(const std::string& text, std::function<void()> done) {
    const std::uint64_t n = ++sentence_;
    if (engine) {
        engine->stop();
    }
    if (text.empty()) {
        done_ = nullptr;
        if (done) {
            onMain(std::move(done));
        }
        return;
    }
    done_ = std::move(done);
    std::weak_ptr<int> alive = alive_;
    auto end = [this, alive, n] {
        onMain([this, alive, n] {
            if (alive.lock()) {
                finished(n);
            }
        });
    };
    if (muted || !engine) {
        end();
        return;
    }
    engine->speak(text, 0.5, end);
}

void Voice::finished(std::uint64_t sentence) {
    // A stopped sentence ends too; its `done` was already handed to the newer one.
    if (sentence != sentence_ || !done_) {
        return;
    }
    std::function<void()> done = std::move(done_);
    done_ = nullptr;
    done();
}

void Voice::chime(const std::string& name) {
    if (!chimesOff && engine) {
        engine->play(name);
    }
}

} // namespace helm
