#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

class QSocketNotifier;

namespace helm {

// Tells when any program, this one included, closes one of the files it watches (inotify's
// close events), on the thread that made it. Files that go away drop out by themselves.
class CloseWatch {
public:
    explicit CloseWatch(std::function<void(const std::string& path)> closed);
    ~CloseWatch();

    CloseWatch(const CloseWatch&) = delete;
    CloseWatch& operator=(const CloseWatch&) = delete;

    // Watches the file from now on; false when it cannot be watched (gone, not readable, or no
    // inotify here). Adding a file watched already changes nothing.
    bool add(const std::string& path);

private:
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::map<int, std::string> paths_; // by watch descriptor
    std::function<void(const std::string&)> closed_;
    void readEvents();
};

} // namespace helm
