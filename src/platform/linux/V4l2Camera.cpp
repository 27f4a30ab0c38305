#include "platform/linux/V4l2Camera.h"

#include "platform/linux/CameraNodes.h"
#include "platform/linux/CloseWatch.h"

#include <QFileSystemWatcher>

#include <opencv2/videoio.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <set>

namespace helm {

struct V4l2Camera::Held {
    std::mutex mutex;
    std::set<std::string> nodes;
};

namespace {

// One opened device. A read that outlasts the driver's timeout answers nothing, which the
// engine treats as a camera that stopped.
class V4l2Capture : public FrameSource {
public:
    V4l2Capture(std::vector<std::string> devices, V4l2Camera::Opener open, std::string proc,
                std::shared_ptr<V4l2Camera::Held> held, std::function<double()> clock)
        : devices_(std::move(devices)), open_(std::move(open)), proc_(std::move(proc)),
          held_(std::move(held)), clock_(std::move(clock)) {}

    bool open() override {
        if (capture_.isOpened())
            return true;
        problem_ = "camera: none found";
        trouble_ = CameraTrouble::missing;
        for (const std::string& device : devices_) {
            if (tryOpen(device))
                return true;
        }
        return false;
    }

    std::optional<Frame> next() override {
        Frame frame;
        try {
            if (!capture_.isOpened() || !capture_.read(frame.image) || frame.image.empty()) {
                stopped();
                return std::nullopt;
            }
        } catch (const cv::Exception& e) {
            problem_ = "camera " + device_ + " failed: " + e.what();
            trouble_ = CameraTrouble::stopped;
            return std::nullopt;
        }
        frame.time = clock_();
        return frame;
    }

    void close() override { capture_.release(); }
    bool live() const override { return true; }
    std::string problem() const override { return problem_; }
    CameraTrouble trouble() const override { return trouble_; }

private:
    std::vector<std::string> devices_;
    V4l2Camera::Opener open_;
    std::string proc_;
    std::shared_ptr<V4l2Camera::Held> held_;
    std::function<double()> clock_;
    cv::VideoCapture capture_;
    std::string device_;
    std::string problem_;
    CameraTrouble trouble_ = CameraTrouble::missing;

    bool tryOpen(const std::string& device) {
        std::string detail;
        try {
            if (open_(capture_, device)) {
                device_ = device;
                std::lock_guard lock(held_->mutex);
                held_->nodes.clear(); // a camera is ours: no other's release is news
                return true;
            }
        } catch (const cv::Exception& e) {
            detail = std::string(": ") + e.what();
        }
        capture_.release();
        // Of several nodes, the one that says most about why there is no picture is told: a
        // camera another program holds, before a metadata node that is no camera at all.
        const CameraTrouble why = cameraTrouble(device, proc_);
        if (rank(why) < rank(trouble_))
            return false;
        trouble_ = why;
        if (why == CameraTrouble::busy) {
            std::string names;
            for (const std::string& n : cameraHolders(device, proc_))
                names += (names.empty() ? "" : ", ") + n;
            problem_ = "camera " + device + " is in use by " +
                       (names.empty() ? std::string("another program") : names);
            if (!names.empty()) {
                std::lock_guard lock(held_->mutex);
                held_->nodes.insert(device);
            }
        } else if (why == CameraTrouble::refused) {
            problem_ = "camera " + device + " is not allowed for this user";
        } else {
            problem_ = "camera " + device + " cannot be opened" + detail;
        }
        return false;
    }

    void stopped() {
        if (!device_.empty() && cameraTrouble(device_, proc_) == CameraTrouble::missing) {
            problem_ = "camera " + device_ + " was unplugged";
            trouble_ = CameraTrouble::missing;
        } else {
            problem_ = "camera " + device_ + " stopped sending frames";
            trouble_ = CameraTrouble::stopped;
        }
    }

    static int rank(CameraTrouble t) {
        switch (t) {
        case CameraTrouble::busy:
            return 3;
        case CameraTrouble::refused:
            return 2;
        case CameraTrouble::missing:
            return 0;
        default:
            return 1;
        }
    }
};

bool openV4l2(cv::VideoCapture& capture, const std::string& device) {
    if (!capture.open(device, cv::CAP_V4L2))
        return false;
    capture.set(cv::CAP_PROP_FRAME_WIDTH, 640);
    capture.set(cv::CAP_PROP_FRAME_HEIGHT, 480);
    // Keep the driver from queueing old frames: a late frame is better dropped.
    capture.set(cv::CAP_PROP_BUFFERSIZE, 1);
    return true;
}

} // namespace

V4l2Camera::V4l2Camera(std::string folder, Opener open, std::string proc)
    : folder_(std::move(folder)), open_(open ? std::move(open) : Opener(openV4l2)),
      proc_(std::move(proc)), held_(std::make_shared<Held>()) {}

V4l2Camera::~V4l2Camera() = default;

std::vector<std::string> V4l2Camera::devices(const std::string& folder) {
    std::vector<std::pair<long, std::string>> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("video", 0) != 0 || name.size() == 5 || name.size() > 9)
            continue;
        char* end = nullptr;
        const long n = std::strtol(name.c_str() + 5, &end, 10);
        if (*end == '\0' && name[5] >= '0' && name[5] <= '9')
            found.emplace_back(n, entry.path().string());
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> out;
    for (auto& f : found)
        out.push_back(std::move(f.second));
    return out;
}

bool V4l2Camera::present() const {
    return !devices(folder_).empty();
}

std::unique_ptr<FrameSource> V4l2Camera::make(std::function<double()> clock) {
    return std::make_unique<V4l2Capture>(devices(folder_), open_, proc_, held_, std::move(clock));
}

void V4l2Camera::watch(std::function<void()> changed) {
    changed_ = std::move(changed);
    watchFolder();
}

void V4l2Camera::watchRelease(std::function<void()> released) {
    released_ = std::move(released);
    if (!closes_) {
        closes_ = std::make_unique<CloseWatch>([this](const std::string& node) { closed(node); });
        for (const std::string& node : devices(folder_))
            closes_->add(node);
    }
    watchFolder();
}

void V4l2Camera::watchFolder() {
    if (watcher_)
        return;
    seen_ = devices(folder_);
    // The folder changes for every device of the system; only a change of its video nodes is
    // news.
    watcher_ = std::make_unique<QFileSystemWatcher>(QStringList{QString::fromStdString(folder_)});
    QObject::connect(watcher_.get(), &QFileSystemWatcher::directoryChanged, watcher_.get(), [this] {
        std::vector<std::string> now = devices(folder_);
        if (closes_) {
            for (const std::string& node : now)
                closes_->add(node); // a node plugged in is watched too
        }
        if (now == seen_)
            return;
        seen_ = std::move(now);
        if (changed_)
            changed_();
    });
}

void V4l2Camera::closed(const std::string& node) {
    {
        std::lock_guard lock(held_->mutex);
        if (held_->nodes.count(node) == 0)
            return;
    }
    // Our own tries close the node too, and so does each of several users of it: only the
    // last holder's close frees it.
    if (!cameraHolders(node, proc_).empty())
        return;
    {
        std::lock_guard lock(held_->mutex);
        held_->nodes.erase(node);
    }
    if (released_)
        released_();
}

} // namespace helm
