#include "app/Log.h"

#include "platform/Paths.h"
#include "platform/linux/LogFile.h"

#include <mutex>

namespace helm {

namespace {

constexpr long long kMaxBytes = 5'000'000;

std::mutex& logMutex() {
    static std::mutex m;
    return m;
}

std::string& pathLocked() {
    static std::string path;
    return path;
}

thread_local LogRoute* route = nullptr;

} // namespace

LogRoute::LogRoute(Write write) : route_(std::move(write)), outer_(route) {
    route = this;
}

LogRoute::~LogRoute() {
    route = outer_;
}

std::string setUpLogPath() {
    std::string folder = paths::stateHome() + "/Pivmor";
    LogFile::makeFolders(folder);
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
    if (LogRoute* r = route) {
        route = nullptr; // the route's own writes go to the file
        r->route_(message);
        route = r;
        return;
    }
    std::string line = logDate(std::time(nullptr)) + " " + message + "\n";
    std::lock_guard lock(logMutex());
    const std::string& path = pathLocked();
    if (path.empty()) {
        return;
    }
    LogFile::append(path, line, kMaxBytes);
}

} // namespace helm
