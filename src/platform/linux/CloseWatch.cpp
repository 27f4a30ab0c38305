#include "platform/linux/CloseWatch.h"

#include <QSocketNotifier>

#include <climits>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>
#include <vector>

namespace helm {

CloseWatch::CloseWatch(std::function<void(const std::string& path)> closed)
    : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), closed_(std::move(closed)) {
    if (fd_ < 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { readEvents(); });
}

CloseWatch::~CloseWatch() {
    notifier_.reset();
    if (fd_ >= 0)
        ::close(fd_);
}

bool CloseWatch::add(const std::string& path) {
    if (fd_ < 0)
        return false;
    const int wd = ::inotify_add_watch(fd_, path.c_str(), IN_CLOSE_WRITE | IN_CLOSE_NOWRITE);
    if (wd < 0)
        return false;
    paths_[wd] = path;
    return true;
}

void CloseWatch::readEvents() {
    // Room for many events at once; a file watch's events carry no name.
    alignas(inotify_event) char buffer[64 * (sizeof(inotify_event) + NAME_MAX + 1)];
    std::vector<std::string> closed;
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0)
            break; // EAGAIN: everything read
        for (ssize_t at = 0; at < n;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            at += static_cast<ssize_t>(sizeof event + event.len);
            const auto it = paths_.find(event.wd);
            if (it == paths_.end())
                continue;
            if (event.mask & IN_IGNORED) {
                paths_.erase(it); // the file went away, and its watch with it
            } else if (event.mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) {
                closed.push_back(it->second);
            }
        }
    }
    // Told after the reading, so a callback that adds watches does not disturb it.
    for (const std::string& path : closed)
        closed_(path);
}

} // namespace helm
