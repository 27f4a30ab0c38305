#pragma once

#include "platform/CameraTrouble.h"

#include <algorithm>

namespace helm {

// When to try a camera that failed again: a second after the first failure, then twice as long
// after each further one, at most a minute apart. A camera another program holds is wanted back
// as soon as that program lets it go, so it is tried at least every few seconds however long
// it stays busy.
struct CameraRetry {
    static constexpr double first = 1;
    static constexpr double most = 60;
    static constexpr double mostWhileBusy = 3;
    // The wait before the next try; 0 while nothing has failed.
    double wait = 0;

    // A try failed for that reason: the wait before the next.
    double failed(CameraTrouble trouble) {
        const double cap = trouble == CameraTrouble::busy ? mostWhileBusy : most;
        wait = wait == 0 ? first : std::min(wait * 2, cap);
        return wait;
    }
    void reset() { wait = 0; }
};

} // namespace helm
