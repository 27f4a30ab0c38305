#include "guide/CameraState.h"

#include "input/Hotkeys.h"

#include <algorithm>
#include <cerrno>

namespace helm {

namespace {

bool refused(const CameraNode& n) {
    return n.openError == EACCES || n.openError == EPERM;
}

} // namespace

OnboardingModel::Camera cameraState(const std::vector<CameraNode>& nodes, bool engineAvailable) {
    using Camera = OnboardingModel::Camera;
    if (nodes.empty()) {
        return Camera::missing;
    }
    const bool opened = std::any_of(nodes.begin(), nodes.end(),
                                    [](const CameraNode& n) { return n.openError == 0; });
    const bool held = std::any_of(nodes.begin(), nodes.end(),
                                  [](const CameraNode& n) { return n.holder.has_value(); });
    if ((!opened && std::any_of(nodes.begin(), nodes.end(), refused)) || held) {
        return Camera::blocked;
    }
    return engineAvailable ? Camera::allowed : Camera::missing;
}

std::optional<std::string> cameraNote(const std::vector<CameraNode>& nodes,
                                      OnboardingModel::Camera state) {
    using Camera = OnboardingModel::Camera;
    if (state == Camera::missing) {
        return "No camera is attached (there is no /dev/video device). Plug one in; without it, " +
               Hotkeys::jumps() +
               " and pushing the pointer past the outer edge still switch computers.";
    }
    if (state != Camera::blocked) {
        return std::nullopt;
    }
    for (const CameraNode& n : nodes) {
        if (n.holder) {
            return n.path + " is in use by " + *n.holder +
                   ". Close that program and Helmvantor can use the camera.";
        }
    }
    for (const CameraNode& n : nodes) {
        if (refused(n)) {
            return "Your user may not open " + n.path +
                   ". Add yourself to the video group (sudo usermod -aG video $USER), then log "
                   "out and back in.";
        }
    }
    return std::nullopt;
}

} // namespace helm
