#pragma once

#include "desk/Angle.h"
#include "gaze/EyeReader.h"
#include "gaze/Face.h"
#include "gaze/FaceObservation.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace helm {

// What one camera frame says: the head angle and eye angle in degrees, and the face read.
struct FrameReading {
    std::optional<Angle> head;
    std::optional<Angle> eye;
    std::optional<Face> face;
};

// The index of the face that is read when a frame holds several: the widest, the earliest of
// equally wide ones. Nothing for an empty list.
std::optional<std::size_t> widestFace(const std::vector<FaceObservation>& faces);

// Reads one frame's face observations: the widest face gives the face, and its pose (when the
// detector gave both yaw and pitch) the head and eye angles. A frame without a face also ends
// the eye smoothing.
FrameReading readFrame(const std::vector<FaceObservation>& faces, EyeReader& eyes);

} // namespace helm
