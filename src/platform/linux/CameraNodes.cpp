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
