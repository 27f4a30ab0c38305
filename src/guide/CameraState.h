#pragma once

#include "guide/OnboardingModel.h"

#include <optional>
#include <string>
#include <vector>

namespace helm {

// One video device node as the camera page reads it.
struct CameraNode {
    std::string path;
    int openError = 0;                 // 0 when this user may open it, else the errno
    std::optional<std::string> holder; // another program that has it open
};

// The camera permission the guide shows, from the video nodes and whether the gaze engine
// found a camera. Linux never asks the user, so the answer is never `unknown`: no node is
// `missing`; nodes refused to this user (EACCES, EPERM) with none that opened, or a node
// another program holds, are `blocked`; otherwise `allowed` when the engine has a camera,
// else `missing`.
OnboardingModel::Camera cameraState(const std::vector<CameraNode>& nodes, bool engineAvailable);

// What the camera page says about a state that is not `allowed` on this desktop: the node
// this user may not open and how to be let in, the program that holds a node, or that no
// camera is attached. Nothing for the other states.
std::optional<std::string> cameraNote(const std::vector<CameraNode>& nodes,
                                      OnboardingModel::Camera state);

} // namespace helm
