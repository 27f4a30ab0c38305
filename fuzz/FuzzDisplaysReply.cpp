// "d" lines from a PC: never a crash, and an accepted list always holds sound displays.
#include "link/Wire.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view payload(reinterpret_cast<const char*>(data), size);
    // Half the runs wrap the input as a display list, so the JSON decoding is reached often.
    std::string line =
        size > 0 && data[0] == 'd' ? std::string(payload) : "d " + helm::Wire::b64(payload);
    std::string problem;
    auto displays = helm::Wire::displaysReply(line, &problem);
    if (!displays) {
        return 0;
    }
    if (displays->size() > helm::Wire::maxDisplays) {
        std::abort();
    }
    for (const auto& d : *displays) {
        if (d.key.empty() || d.key.find('/') != std::string::npos || d.index < 0 || !(d.w > 0) ||
            !(d.h > 0) || !std::isfinite(d.w) || !std::isfinite(d.h) || !std::isfinite(d.x) ||
            !std::isfinite(d.y)) {
            std::abort();
        }
    }
    return 0;
}
