#pragma once

#include <functional>

namespace helm {

// Tells the program when the user's session locks, so focus can go home before the user
// walks away.
class ScreenLock {
public:
    virtual ~ScreenLock() = default;

    // Called on the main thread each time the session locks.
    std::function<void()> onLock;

    // Begins observing; before this, nothing is reported.
    virtual void start() = 0;

protected:
    void locked() const {
        if (onLock) {
            onLock();
        }
    }
};

} // namespace helm
