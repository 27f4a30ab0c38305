#pragma once

#include "platform/CameraTrouble.h"

#include <string>
#include <vector>

namespace helm {

// Whether this user may open each video capture node of a folder, in number order: 0 for a
// node that opened, else the errno of the failed open (EACCES or EPERM when the user is not
// in the video group). Nothing is captured: the node is closed again at once.
std::vector<int> cameraOpenErrors(const std::string& folder = "/dev");

// The programs that hold a video node open, by name, each once: those of this user's processes
// that proc (the proc file system) lets us see, this process left out.
std::vector<std::string> cameraHolders(const std::string& node, const std::string& proc = "/proc");

// Why capture from a video node failed: gone, not allowed to this user, held by another
// program, or failing for a reason of its own.
CameraTrouble cameraTrouble(const std::string& node, const std::string& proc = "/proc");

} // namespace helm
