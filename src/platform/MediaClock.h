#pragma once

namespace helm {

// Seconds on the monotonic clock: the time base of every hold, settle time and timeout.
double mediaNow();

} // namespace helm
