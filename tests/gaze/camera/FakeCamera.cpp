#include "FakeCamera.h"

#include <chrono>
#include <thread>

namespace helm::test {

namespace {

class Source : public FrameSource {
public:
    Source(FakeCamera::Step step, std::shared_ptr<FakeCamera> camera, std::shared_future<void> gate,
           std::function<double()> clock)
        : step_(step), camera_(std::move(camera)), gate_(std::move(gate)), clock_(std::move(clock)),
          pulled_(camera_->pulled) {
        ++camera_->unfreed;
    }
    ~Source() override { --camera_->unfreed; }

    bool open() override {
        if (step_ == FakeCamera::Step::stallOpen) {
            camera_->stalled = true;
            gate_.wait();
            problem_ = "camera /dev/video0 cannot be opened";
            return false;
        }
        if (step_ == FakeCamera::Step::failOpen) {
            problem_ = "camera /dev/video0 cannot be opened";
            return false;
        }
        if (step_ == FakeCamera::Step::busy) {
            problem_ = "camera /dev/video0 is in use by obs";
            trouble_ = CameraTrouble::busy;
            return false;
        }
        return true;
    }

    std::optional<Frame> next() override {
        if (step_ == FakeCamera::Step::stall) {
            camera_->stalled = true;
            gate_.wait();
            problem_ = "camera /dev/video0 stopped sending frames";
            trouble_ = CameraTrouble::stopped;
            return std::nullopt;
        }
        if (camera_->pulled != pulled_) {
            problem_ = "camera /dev/video0 was unplugged";
            trouble_ = CameraTrouble::unplugged;
            return std::nullopt;
        }
        if (step_ == FakeCamera::Step::stopAfterFrames && sent_ == 3) {
            problem_ = "camera /dev/video0 stopped sending frames";
            trouble_ = CameraTrouble::stopped;
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(33));
        ++sent_;
        ++camera_->frames;
        return Frame{cv::Mat(480, 640, CV_8UC3, cv::Scalar(90, 90, 90)), clock_()};
    }

    void close() override {}
    bool live() const override { return true; }
    std::string problem() const override { return problem_; }
    CameraTrouble trouble() const override { return trouble_; }

private:
    FakeCamera::Step step_;
    std::shared_ptr<FakeCamera> camera_;
    std::shared_future<void> gate_;
    std::function<double()> clock_;
    int pulled_;
    int sent_ = 0;
    std::string problem_;
    CameraTrouble trouble_ = CameraTrouble::failed;
};

} // namespace

std::unique_ptr<FrameSource> FakeCamera::make(std::function<double()> clock) {
    std::lock_guard lock(mutex_);
    Step step = Step::works;
    if (!script_.empty()) {
        step = script_.front();
        if (!always_ || script_.size() > 1)
            script_.pop_front();
    }
    ++made;
    return std::make_unique<Source>(step, shared_from_this(), released_, std::move(clock));
}

void FakeCamera::free(bool told) {
    {
        std::lock_guard lock(mutex_);
        script_.clear();
    }
    if (told && letGo_)
        letGo_();
}

} // namespace helm::test
