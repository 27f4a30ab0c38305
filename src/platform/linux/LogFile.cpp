#include "platform/linux/LogFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace helm::LogFile {

void makeFolders(const std::string& folder) {
    for (std::size_t i = 1; i <= folder.size(); ++i) {
        if (i == folder.size() || folder[i] == '/') {
            mkdir(folder.substr(0, i).c_str(), 0700); // an existing folder is fine
        }
    }
}

void append(const std::string& path, const std::string& text, long long maxBytes) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && st.st_size > maxBytes) {
        // The full log is kept one generation back: a flood of lines must not wipe what led
        // up to it.
        rename(path.c_str(), (path + ".1").c_str());
    }
    int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return;
    }
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    close(fd);
}

} // namespace helm::LogFile
