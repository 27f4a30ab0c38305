#include "platform/linux/CameraNodes.h"

#include "platform/linux/V4l2Camera.h"

#include <cerrno>
#include <fcntl.h>
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

} // namespace helm
