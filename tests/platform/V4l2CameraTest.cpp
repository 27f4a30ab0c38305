#include "platform/linux/V4l2Camera.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <fstream>

namespace helm {
namespace {

// Device nodes are stood in for by empty files; the opener decides which of them "open", and
// the one that does plays a short video in place of a camera.
struct Devices {
    QTemporaryDir dir;
    std::string folder = dir.path().toStdString();
    std::string video = folder + "/clip.avi";

    explicit Devices(const std::vector<std::string>& names) {
        for (const auto& n : names)
            std::ofstream(folder + "/" + n) << "";
        cv::VideoWriter writer(video, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 30, {64, 48});
        for (int i = 0; i < 3; ++i)
            writer.write(cv::Mat(48, 64, CV_8UC3, cv::Scalar(10, 20, 30)));
    }
    std::string node(const std::string& name) const { return folder + "/" + name; }
};

TEST(V4l2Camera, ListsVideoNodesInNumberOrder) {
    Devices d({"video10", "video2", "video0", "videoX", "video", "video1a", "vbi0", "video123456"});
    EXPECT_EQ(V4l2Camera::devices(d.folder),
              (std::vector<std::string>{d.node("video0"), d.node("video2"), d.node("video10")}));
    EXPECT_TRUE(V4l2Camera(d.folder).present());
    EXPECT_FALSE(V4l2Camera(d.folder + "/none").present());
}

TEST(V4l2Camera, TakesTheFirstDeviceThatOpens) {
    struct Case {
        const char* what;
        std::vector<std::string> opening; // nodes the opener accepts
        std::vector<std::string> tried;
        bool opens;
        std::string problem;
    };
    const Case cases[] = {
        {"the first opens", {"video0", "video1"}, {"video0"}, true, ""},
        {"a busy node is passed over", {"video1", "video3"}, {"video0", "video1"}, true, ""},
        {"none opens", {}, {"video0", "video1", "video3"}, false, "video3 cannot be opened"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Devices d({"video0", "video1", "video3"});
        std::vector<std::string> tried;
        V4l2Camera camera(d.folder, [&](cv::VideoCapture& capture, const std::string& device) {
            tried.push_back(device.substr(d.folder.size() + 1));
            const bool yes =
                std::find(c.opening.begin(), c.opening.end(), tried.back()) != c.opening.end();
            return yes && capture.open(d.video);
        });
        auto source = camera.make([] { return 7.5; });
        EXPECT_EQ(source->open(), c.opens);
        EXPECT_EQ(tried, c.tried);
        if (c.opens) {
            auto frame = source->next();
            ASSERT_TRUE(frame.has_value()) << "frames come from the device that opened";
            EXPECT_EQ(frame->image.cols, 64);
            EXPECT_EQ(frame->time, 7.5);
        } else {
            EXPECT_EQ(source->problem(), "camera " + d.node(c.problem));
            EXPECT_FALSE(source->next().has_value());
        }
    }
}

} // namespace
} // namespace helm
