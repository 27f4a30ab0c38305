#include "platform/linux/CameraNodes.h"

#include "platform/linux/V4l2Camera.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
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

std::optional<std::string> programHolding(const std::string& node, const std::string& proc,
                                          pid_t self) {
    namespace fs = std::filesystem;
    std::error_code error;
    for (const fs::directory_entry& process : fs::directory_iterator(proc, error)) {
        const std::string pid = process.path().filename().string();
        char* end = nullptr;
        const long n = std::strtol(pid.c_str(), &end, 10);
        if (pid.empty() || *end != '\0' || n == self)
            continue;
        // Another user's processes refuse to be looked into: skipped, not an error.
        std::error_code unreadable;
        for (const fs::directory_entry& fd :
             fs::directory_iterator(process.path() / "fd", unreadable)) {
            std::error_code gone;
            if (fs::read_symlink(fd.path(), gone) != node)
                continue;
            std::string name;
            std::getline(std::ifstream(process.path() / "comm"), name);
            return name.empty() ? "process " + pid : name;
        }
    }
    return std::nullopt;
}

} // namespace helm
