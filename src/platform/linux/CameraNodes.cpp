#include "platform/linux/CameraNodes.h"

#include "platform/linux/V4l2Camera.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace helm {

std::vector<std::pair<std::string, int>> cameraOpenErrors(const std::string& folder) {
    std::vector<std::pair<std::string, int>> out;
    for (const std::string& node : V4l2Camera::devices(folder)) {
        const int fd = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            out.emplace_back(node, errno);
        } else {
            ::close(fd);
            out.emplace_back(node, 0);
        }
    }
    return out;
}

std::vector<std::string> cameraHolders(const std::string& node, const std::string& proc,
                                       pid_t self) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    // A node is matched by the path its descriptor names or, where the node exists here, by
    // the file itself (a path reached through a link).
    struct stat target {};
    const bool exists = ::stat(node.c_str(), &target) == 0;
    std::error_code error;
    for (const fs::directory_entry& process : fs::directory_iterator(proc, error)) {
        const std::string pid = process.path().filename().string();
        char* end = nullptr;
        const long n = std::strtol(pid.c_str(), &end, 10);
        if (pid.empty() || *end != '\0' || n == self)
            continue;
        // Another user's processes refuse to be looked into: skipped, not an error.
        std::error_code unreadable;
        bool holds = false;
        for (const fs::directory_entry& fd :
             fs::directory_iterator(process.path() / "fd", unreadable)) {
            std::error_code gone;
            struct stat open {};
            if (fs::read_symlink(fd.path(), gone) == node ||
                (exists && ::stat(fd.path().c_str(), &open) == 0 && open.st_dev == target.st_dev &&
                 open.st_ino == target.st_ino)) {
                holds = true;
                break;
            }
        }
        if (!holds)
            continue;
        std::string name;
        std::getline(std::ifstream(process.path() / "comm"), name);
        if (name.empty())
            name = "process " + pid;
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

std::optional<std::string> programHolding(const std::string& node, const std::string& proc,
                                          pid_t self) {
    std::vector<std::string> names = cameraHolders(node, proc, self);
    if (names.empty())
        return std::nullopt;
    return names.front();
}

int streamAnswer(int fd) {
    v4l2_capability capability{};
    if (::ioctl(fd, VIDIOC_QUERYCAP, &capability) < 0) {
        return errno;
    }
    const std::uint32_t caps = (capability.capabilities & V4L2_CAP_DEVICE_CAPS) != 0
                                   ? capability.device_caps
                                   : capability.capabilities;
    v4l2_requestbuffers request{};
    request.count = 0;
    request.type =
        (caps & V4L2_CAP_VIDEO_CAPTURE) == 0 && (caps & V4L2_CAP_VIDEO_CAPTURE_MPLANE) != 0
            ? V4L2_BUF_TYPE_VIDEO_CAPTURE_MPLANE
            : V4L2_BUF_TYPE_VIDEO_CAPTURE;
    request.memory = V4L2_MEMORY_MMAP;
    return ::ioctl(fd, VIDIOC_REQBUFS, &request) < 0 ? errno : 0;
}

CameraTrouble cameraTrouble(const std::string& node, const std::string& proc,
                            const StreamAnswer& answer) {
    const int fd = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        switch (errno) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return CameraTrouble::missing;
        case EACCES:
        case EPERM:
            return CameraTrouble::refused;
        case EBUSY:
            return CameraTrouble::busy;
        default:
            return CameraTrouble::failed;
        }
    }
    // A driver lets a second program open the node and refuses it the stream: the device
    // says so itself, whoever holds it (another user's program, or a proc folder that hides
    // the others), and a holder of ours that proc shows tells too.
    const bool refused = answer(fd) == EBUSY;
    ::close(fd);
    return refused || !cameraHolders(node, proc).empty() ? CameraTrouble::busy
                                                         : CameraTrouble::failed;
}
} // namespace helm
