#include "app/Log.h"

#include "platform/Paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <mutex>

namespace helm {

namespace {

constexpr off_t kMaxBytes = 5'000'000;

std::mutex& logMutex() {
    static std::mutex m;
    return m;
}

std::string& pathLocked() {
    static std::string path;
    return path;
}

void makeFolders(const std::string& folder) {
    for (std::size_t i = 1; i <= folder.size(); ++i) {
        if (i == folder.size() || folder[i] == '/') {
            mkdir(folder.substr(0, i).c_str(), 0700); // an existing folder is fine
        }
    }
}

} // namespace

std::string setUpLogPath() {
    std::string folder = paths::stateHome() + "/Pivmor";
    makeFolders(folder);
    std::string path = folder + "/pivmor.log";
    setLogPath(path);
    return path;
}

void setLogPath(const std::string& path) {
    std::lock_guard lock(logMutex());
    pathLocked() = path;
}

std::string logPath() {
    std::lock_guard lock(logMutex());
    return pathLocked();
}

std::string logDate(std::time_t t) {
    std::tm utc{};
    gmtime_r(&t, &utc);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S +0000", &utc);
    return text;
}

void log(const std::string& message) {
    std::string line = logDate(std::time(nullptr)) + " " + message + "\n";
    std::lock_guard lock(logMutex());
    const std::string& path = pathLocked();
    if (path.empty()) {
        return;
    }
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && st.st_size > kMaxBytes) {
        // The full log is kept one generation back: a flood of lines must not wipe what led
        // up to it.
        rename(path.c_str(), (path + ".1").c_str());
    }
    int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return;
    }
    const char* p = line.data();
    std::size_t left = line.size();
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

} // namespace helm
