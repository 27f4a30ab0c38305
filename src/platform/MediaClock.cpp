#include "platform/MediaClock.h"

#include <chrono>

namespace helm {

double mediaNow() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

} // namespace helm
