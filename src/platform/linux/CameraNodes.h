#pragma once

#include "platform/CameraTrouble.h"

#include <functional>
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

// The device's answer, on an open descriptor of a video node, to a request for no capture
// buffers (which takes nothing and frees nothing): 0 when it would stream to us, EBUSY while
// another program streams from it, else the errno of its refusal (ENOTTY for no device).
int streamAnswer(int fd);
using StreamAnswer = std::function<int(int fd)>;

// Why capture from a video node failed: gone, not allowed to this user, held by another
// program, or failing for a reason of its own. A holder is told by the device's own answer,
// or by a process of this user seen with the node open; answer asks the device.
CameraTrouble cameraTrouble(const std::string& node, const std::string& proc = "/proc",
                            const StreamAnswer& answer = streamAnswer);

} // namespace helm
