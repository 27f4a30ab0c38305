#include "platform/linux/V4l2Camera.h"

#include "platform/linux/CloseWatch.h"

#include <QFileSystemWatcher>

#include <opencv2/videoio.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <iterator>
#include <map>
#include <mutex>
#include <set>
#include <unistd.h>
#include <utility>

namespace helm {

struct V4l2Camera::Held {
    std::mutex mutex;
    // Nodes another program holds, each with a descriptor of ours kept open on it (or -1, for
    // a driver that lets one program open it at a time) to ask the device when one closes.
    std::map<std::string, int> nodes;
    // Nodes our own captures have open: one left behind in a read that has not returned.
    std::multiset<std::string> ours;

    Held() = default;
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held() { forget(); }
    // Under the lock.
    void hold(const std::string& node) {
        if (nodes.count(node) == 0)
            nodes[node] = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    }
    void letGo(std::map<std::string, int>::iterator it) {
        if (it->second >= 0)
            ::close(it->second);
        nodes.erase(it);
    }
    void forget() {
        while (!nodes.empty())
            letGo(nodes.begin());
    }
};

namespace {

// One opened device. A read that outlasts the driver's timeout answers nothing, which the
// engine treats as a camera that stopped.
class V4l2Capture : public FrameSource {
public:
    V4l2Capture(std::vector<std::string> devices, V4l2Camera::Opener open, std::string proc,
                StreamAnswer answer, std::shared_ptr<V4l2Camera::Held> held,
                std::function<double()> clock)
        : devices_(std::move(devices)), open_(std::move(open)), proc_(std::move(proc)),
          answer_(std::move(answer)), held_(std::move(held)), clock_(std::move(clock)) {}
    ~V4l2Capture() override { close(); }

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

    void close() override {
        capture_.release();
        if (std::exchange(ours_, false)) {
            std::lock_guard lock(held_->mutex);
            if (auto it = held_->ours.find(device_); it != held_->ours.end())
                held_->ours.erase(it);
        }
    }
    bool live() const override { return true; }
    std::string problem() const override { return problem_; }
    CameraTrouble trouble() const override { return trouble_; }

private:
    std::vector<std::string> devices_;
    V4l2Camera::Opener open_;
    std::string proc_;
    StreamAnswer answer_;
    std::shared_ptr<V4l2Camera::Held> held_;
    std::function<double()> clock_;
    cv::VideoCapture capture_;
    std::string device_;
    bool ours_ = false; // counted among the nodes our captures have open
    std::string problem_;
    CameraTrouble trouble_ = CameraTrouble::missing;

    bool tryOpen(const std::string& device) {
        std::string detail;
        try {
            if (open_(capture_, device)) {
                device_ = device;
                ours_ = true;
                std::lock_guard lock(held_->mutex);
                held_->ours.insert(device);
                held_->forget(); // a camera is ours: no other's release is news
                return true;
            }
        } catch (const cv::Exception& e) {
            detail = std::string(": ") + e.what();
        }
        capture_.release();
        bool oursStill = false;
        {
            std::lock_guard lock(held_->mutex);
            oursStill = held_->ours.count(device) != 0;
        }
        // Of several nodes, the one that says most about why there is no picture is told: a
        // camera another program holds, before a metadata node that is no camera at all.
        const CameraTrouble why =
            oursStill ? CameraTrouble::stopped : cameraTrouble(device, proc_, answer_);
        if (rank(why) < rank(trouble_))
            return false;
        trouble_ = why;
        if (oursStill) {
            problem_ = "camera " + device + " still waits on a read that has not returned";
        } else if (why == CameraTrouble::busy) {
            held(device);
        } else if (why == CameraTrouble::refused) {
            problem_ = "camera " + device + " is not allowed for this user";
        } else {
            problem_ = "camera " + device + " cannot be opened" + detail;
        }
        return false;
    }

    // Another program has the node: said with its name where this user can see it, and
    // watched for the close that frees it.
    void held(const std::string& device) {
        std::string names;
        for (const std::string& n : cameraHolders(device, proc_))
            names += (names.empty() ? "" : ", ") + n;
        problem_ = "camera " + device + " is in use by " +
                   (names.empty() ? std::string("another program") : names);
        std::lock_guard lock(held_->mutex);
        held_->hold(device);
    }

    void stopped() {
        // Let go first: the device is asked why, and would name our own stream as a holder.
        close();
        const CameraTrouble why =
            device_.empty() ? CameraTrouble::failed : cameraTrouble(device_, proc_, answer_);
        if (why == CameraTrouble::missing) {
            problem_ = "camera " + device_ + " was unplugged";
            trouble_ = CameraTrouble::unplugged;
        } else if (why == CameraTrouble::busy) {
            // Streaming began at the first read and another program had it by then.
            trouble_ = CameraTrouble::busy;
            held(device_);
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

V4l2Camera::V4l2Camera(std::string folder, Opener open, std::string proc, StreamAnswer answer)
    : folder_(std::move(folder)), open_(open ? std::move(open) : Opener(openV4l2)),
      proc_(std::move(proc)), answer_(answer ? std::move(answer) : StreamAnswer(streamAnswer)),
      held_(std::make_shared<Held>()) {}

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
    return std::make_unique<V4l2Capture>(devices(folder_), open_, proc_, answer_, held_,
                                         std::move(clock));
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
        {
            // A held node unplugged: the descriptor kept on it would hold the gone device.
            std::lock_guard lock(held_->mutex);
            for (auto it = held_->nodes.begin(); it != held_->nodes.end();) {
                auto next = std::next(it);
                if (std::find(now.begin(), now.end(), it->first) == now.end())
                    held_->letGo(it);
                it = next;
            }
        }
        seen_ = std::move(now);
        if (changed_)
            changed_();
    });
}

void V4l2Camera::closed(const std::string& node) {
    {
        std::lock_guard lock(held_->mutex);
        auto it = held_->nodes.find(node);
        if (it == held_->nodes.end())
            return;
        // Our own tries close the node too, and so does each of several users of it: the
        // device says whether it still streams to another. One that lets a single program open
        // it at a time is asked by opening it, which fails while the holder has it.
        if (it->second < 0)
            it->second = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (it->second < 0) {
            if (errno != EBUSY)
                held_->letGo(it); // gone: the device folder's watch tells
            return;
        }
        if (answer_(it->second) == EBUSY)
            return;
    }
    // A driver whose refusal cannot be read this way: a holder still seen still holds it.
    if (!cameraHolders(node, proc_).empty())
        return;
    {
        std::lock_guard lock(held_->mutex);
        auto it = held_->nodes.find(node);
        if (it == held_->nodes.end())
            return;
        held_->letGo(it);
    }
    if (released_)
        released_();
}

} // namespace helm
