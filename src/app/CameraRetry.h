#pragma once

#include <algorithm>

namespace helm {

// When to try a camera that failed again: a second after the first failure, then twice as long
// after each further one, at most a minute apart.
struct CameraRetry {
    static constexpr double first = 1;
    static constexpr double most = 60;
    // The wait before the next try; 0 while nothing has failed.
    double wait = 0;

    // A try failed: the wait before the next.
    double failed() {
        wait = wait == 0 ? first : std::min(wait * 2, most);
        return wait;
    }
    void reset() { wait = 0; }
};

} // namespace helm
