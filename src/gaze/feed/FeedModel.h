#pragma once

#include "gaze/Face.h"
#include "gaze/feed/FrameSlot.h"

#include <QObject>

#include <optional>
#include <string>

namespace helm {

class GazeEngine;

// What every camera preview shows: the latest face, whether the camera is on and whether the
// user was seen lately, and the hint line under the preview. Main thread only.
class FeedModel : public QObject {
    Q_OBJECT
public:
    FeedModel() = default;

    // The engine whose frames the preview shows; set once at launch, not owned.
    GazeEngine* session = nullptr;
    // The camera's latest picture for the previews; emptied when the camera goes off.
    FrameSlot frames;

    const std::optional<Face>& face() const { return face_; }
    bool cameraOn() const { return cameraOn_; }
    bool seen() const { return seen_; }
    void setFace(const std::optional<Face>& face);
    void setCameraOn(bool on);
    void setSeen(bool seen);

    // The line under the preview: why the user cannot be seen, or how to sit better.
    std::optional<std::string> hint() const;

signals:
    void changed();

private:
    std::optional<Face> face_;
    bool cameraOn_ = false;
    bool seen_ = false;
};

} // namespace helm
