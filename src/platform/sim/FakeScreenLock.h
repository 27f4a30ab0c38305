#pragma once

#include "platform/ScreenLock.h"

namespace helm {

// A session lock that happens only when told to.
class FakeScreenLock : public ScreenLock {
public:
    bool started = false;

    void start() override { started = true; }
    // Reports a lock, as the session would; nothing is reported before start.
    void lock() const {
        if (started) {
            locked();
        }
    }
};

} // namespace helm
