#include "gaze/FrameReading.h"

#include <cmath>
#include <numbers>

namespace helm {

std::optional<std::size_t> widestFace(const std::vector<FaceObservation>& faces) {
    if (faces.empty()) {
        return std::nullopt;
    }
    std::size_t best = 0;
    for (std::size_t i = 1; i < faces.size(); ++i) {
        if (faces[i].box.width > faces[best].box.width) {
            best = i;
        }
    }
    return best;
}

FrameReading readFrame(const std::vector<FaceObservation>& faces, EyeReader& eyes) {
    std::optional<std::size_t> chosen = widestFace(faces);
    if (!chosen) {
        eyes.reset();
        return {};
    }
    const FaceObservation& obs = faces[*chosen];
    FrameReading out;
    out.face = Face{obs.box, obs.confidence};
    // A pose that is not a number is treated as no pose: it would otherwise travel on into
    // the pacer, the calibration and the picker.
    if (obs.yaw && obs.pitch && std::isfinite(*obs.yaw) && std::isfinite(*obs.pitch)) {
        constexpr double toDeg = 180 / std::numbers::pi;
        // Detectors count pitch positive downwards; the desk counts it positive upwards.
        out.head = Angle{*obs.yaw * toDeg, -*obs.pitch * toDeg};
        out.eye = eyes.read(obs);
    }
    return out;
}

} // namespace helm
