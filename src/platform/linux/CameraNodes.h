#pragma once

#include "platform/CameraTrouble.h"

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

// The programs that hold a video node open, by name, each once: those of this user's processes
// that proc (the proc file system) lets us see, self left out.
std::vector<std::string> cameraHolders(const std::string& node, const std::string& proc = "/proc",
                                       pid_t self = ::getpid());

// The first of them, if any.
std::optional<std::string>
programHolding(const std::string& node, const std::string& proc = "/proc", pid_t self = ::getpid());

// Why capture from a video node failed: gone, not allowed to this user, held by another
// program, or failing for a reason of its own.
CameraTrouble cameraTrouble(const std::string& node, const std::string& proc = "/proc");

} // namespace helm
