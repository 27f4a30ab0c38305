#pragma once

#include <string>
#include <vector>

namespace helm {

// Whether this user may open each video capture node of a folder, in number order: 0 for a
// node that opened, else the errno of the failed open (EACCES or EPERM when the user is not
// in the video group). Nothing is captured: the node is closed again at once.
std::vector<int> cameraOpenErrors(const std::string& folder = "/dev");

} // namespace helm
