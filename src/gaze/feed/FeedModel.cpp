#include "gaze/feed/FeedModel.h"

namespace helm {

void FeedModel::setFace(const std::optional<Face>& face) {
    if (face == face_)
        return;
    face_ = face;
    emit changed();
}

void FeedModel::setCameraOn(bool on) {
    if (on == cameraOn_)
        return;
    cameraOn_ = on;
    if (!on)
        frames.clear();
    emit changed();
}

void FeedModel::setSeen(bool seen) {
    if (seen == seen_)
        return;
    seen_ = seen;
    emit changed();
}

std::optional<std::string> FeedModel::hint() const {
    if (!cameraOn_)
        return "Camera is off";
    if (!seen_)
        return "Can't see you";
    if (!face_)
        return std::nullopt;
    return face_->hint();
}

} // namespace helm
