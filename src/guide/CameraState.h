#pragma once

#include "guide/OnboardingModel.h"

#include <vector>

namespace helm {

// The camera permission the guide shows, from the open result of each video node (0 opened,
// else its errno) and whether the gaze engine found a camera. Linux never asks the user, so
// the answer is never `unknown`: no node is `missing`; nodes refused to this user (EACCES,
// EPERM) with none that opened are `blocked`; otherwise `allowed` when the engine has a
// camera, else `missing`.
OnboardingModel::Camera cameraState(const std::vector<int>& openErrors, bool engineAvailable);

} // namespace helm
