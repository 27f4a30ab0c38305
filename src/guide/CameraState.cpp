#include "guide/CameraState.h"

#include <algorithm>
#include <cerrno>

namespace helm {

OnboardingModel::Camera cameraState(const std::vector<int>& openErrors, bool engineAvailable) {
    using Camera = OnboardingModel::Camera;
    if (openErrors.empty()) {
        return Camera::missing;
    }
    const bool opened = std::count(openErrors.begin(), openErrors.end(), 0) > 0;
    const bool refused = std::any_of(openErrors.begin(), openErrors.end(),
                                     [](int e) { return e == EACCES || e == EPERM; });
    if (!opened && refused) {
        return Camera::blocked;
    }
    return engineAvailable ? Camera::allowed : Camera::missing;
}

} // namespace helm
