#include "gaze/SearchPacer.h"

namespace helm {

bool SearchPacer::shouldSearch(double t) {
    // A frame time before the last search means the clock started afresh: search.
    const bool due = t - lastFace <= keenFor || t < lastSearch ||
                     t - lastSearch >= every - 0.002; // slack for frame-time jitter
    if (due)
        lastSearch = t;
    return due;
}

void SearchPacer::saw(bool face, double t) {
    if (face)
        lastFace = t;
}

void SearchPacer::restart() {
    *this = SearchPacer(keenFor, every);
}

} // namespace helm
