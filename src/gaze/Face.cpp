#include "gaze/Face.h"

namespace helm {

std::optional<std::string> Face::hint() const {
    if (confidence < 0.5) {
        return "Not clear: more light on your face";
    }
    if (box.width < 0.11) {
        return "Too far from the camera";
    }
    if (box.width > 0.55) {
        return "Too close to the camera";
    }
    // The image is not mirrored: a face near its left edge sits to the user's right.
    if (box.midX() < 0.18) {
        return "Move a little left";
    }
    if (box.midX() > 0.82) {
        return "Move a little right";
    }
    if (box.midY() < 0.18 || box.midY() > 0.88) {
        return "Centre your face in the camera";
    }
    return std::nullopt;
}

} // namespace helm
