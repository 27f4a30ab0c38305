#pragma once

#include <optional>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace helm {

// Whether this user may open each video capture node of a folder, in number order: its path,
// and 0 for a node that opened, else the errno of the failed open (EACCES or EPERM when the
// user is not in the video group). Nothing is captured: the node is closed again at once.
std::vector<std::pair<std::string, int>> cameraOpenErrors(const std::string& folder = "/dev");

// The program that holds a device node open: the command name of the first process of a
// process folder, other than self, with a file descriptor on that path. Nothing when none of
// the processes this user may look into has it open.
std::optional<std::string>
programHolding(const std::string& node, const std::string& proc = "/proc", pid_t self = ::getpid());

} // namespace helm
