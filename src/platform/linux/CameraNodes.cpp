#include "platform/linux/CameraNodes.h"

#include "platform/linux/V4l2Camera.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace helm {

std::vector<int> cameraOpenErrors(const std::string& folder) {
    std::vector<int> out;
    for (const std::string& node : V4l2Camera::devices(folder)) {
        const int fd = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            out.push_back(errno);
        } else {
            ::close(fd);
            out.push_back(0);
        }
    }
    return out;
}

std::vector<std::string> cameraHolders(const std::string& node, const std::string& proc) {
    std::vector<std::string> names;
    struct stat target {};
    if (::stat(node.c_str(), &target) != 0)
        return names;
    const std::string self = std::to_string(::getpid());
    std::error_code error;
    for (const auto& process : std::filesystem::directory_iterator(proc, error)) {
        const std::string pid = process.path().filename().string();
        if (pid.empty() || pid == self ||
            !std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        std::error_code fdError;
        bool holds = false;
        for (const auto& fd : std::filesystem::directory_iterator(process.path() / "fd", fdError)) {
            struct stat open {};
            if (::stat(fd.path().c_str(), &open) == 0 && open.st_dev == target.st_dev &&
                open.st_ino == target.st_ino) {
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

CameraTrouble cameraTrouble(const std::string& node, const std::string& proc) {
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
    ::close(fd);
    // A driver lets a second program open the node and refuses it the stream: the open
    // succeeds here, and who else has it open tells.
    return cameraHolders(node, proc).empty() ? CameraTrouble::failed : CameraTrouble::busy;
}

} // namespace helm
