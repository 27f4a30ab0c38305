#include "platform/linux/V4l2Camera.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <filesystem>
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

// The device watches report through Qt's event loop.
struct EventLoop {
    int argc = 1;
    char name[17] = "v4l2_camera_test";
    char* argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};

    // Runs the loop long enough for the kernel's notices to arrive.
    void settle() {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 300)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
};

TEST(V4l2Camera, ListsVideoNodesInNumberOrder) {
    Devices d({"video10", "video2", "video0", "videoX", "video", "video1a", "vbi0", "video123456"});
    EXPECT_EQ(V4l2Camera::devices(d.folder),
              (std::vector<std::string>{d.node("video0"), d.node("video2"), d.node("video10")}));
    EXPECT_TRUE(V4l2Camera(d.folder).present());
    EXPECT_FALSE(V4l2Camera(d.folder + "/none").present());
}

TEST(V4l2Camera, TakesTheFirstDeviceThatOpensOrSaysWhyNoneDid) {
    struct Case {
        const char* what;
        std::vector<std::string> opening; // nodes the opener accepts
        std::vector<std::string> held;    // nodes another program holds
        std::vector<std::string> tried;
        std::string problem; // empty: it opens
        CameraTrouble trouble;
    };
    const Case cases[] = {
        {"the first opens", {"video0", "video1"}, {}, {"video0"}, "", CameraTrouble::missing},
        {"a busy node is passed over",
         {"video1", "video3"},
         {"video0"},
         {"video0", "video1"},
         "",
         CameraTrouble::missing},
        {"none opens",
         {},
         {},
         {"video0", "video1", "video3"},
         "video3 cannot be opened",
         CameraTrouble::failed},
        {"the held one is told, not the last",
         {},
         {"video1"},
         {"video0", "video1", "video3"},
         "video1 is in use by obs",
         CameraTrouble::busy},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Devices d({"video0", "video1", "video3"});
        // A process of ours, as the proc file system shows it, with the held nodes open.
        const std::string proc = d.folder + "/proc";
        std::filesystem::create_directories(proc + "/4242/fd");
        std::ofstream(proc + "/4242/comm") << "obs\n";
        for (std::size_t i = 0; i < c.held.size(); ++i)
            std::filesystem::create_symlink(d.node(c.held[i]),
                                            proc + "/4242/fd/" + std::to_string(i + 3));
        std::vector<std::string> tried;
        V4l2Camera camera(
            d.folder,
            [&](cv::VideoCapture& capture, const std::string& device) {
                tried.push_back(device.substr(d.folder.size() + 1));
                const bool yes =
                    std::find(c.opening.begin(), c.opening.end(), tried.back()) != c.opening.end();
                return yes && capture.open(d.video);
            },
            proc);
        auto source = camera.make([] { return 7.5; });
        EXPECT_EQ(source->open(), c.problem.empty());
        EXPECT_EQ(tried, c.tried);
        if (c.problem.empty()) {
            auto frame = source->next();
            ASSERT_TRUE(frame.has_value()) << "frames come from the device that opened";
            EXPECT_EQ(frame->image.cols, 64);
            EXPECT_EQ(frame->time, 7.5);
        } else {
            EXPECT_EQ(source->problem(), "camera " + d.node(c.problem));
            EXPECT_EQ(source->trouble(), c.trouble);
            EXPECT_FALSE(source->next().has_value());
        }
    }
}

TEST(V4l2Camera, ACameraThatStopsSaysWhetherItWasUnplugged) {
    for (bool unplugged : {false, true}) {
        SCOPED_TRACE(unplugged);
        Devices d({"video0"});
        V4l2Camera camera(d.folder, [&](cv::VideoCapture& capture, const std::string&) {
            return capture.open(d.video);
        });
        auto source = camera.make([] { return 0.0; });
        ASSERT_TRUE(source->open());
        if (unplugged)
            std::filesystem::remove(d.node("video0"));
        while (source->next()) {
        }
        EXPECT_EQ(source->trouble(), unplugged ? CameraTrouble::unplugged : CameraTrouble::stopped);
        EXPECT_EQ(source->problem(),
                  "camera " + d.node("video0") +
                      (unplugged ? " was unplugged" : " stopped sending frames"));
    }
}

TEST(V4l2Camera, ReportsVideoNodesComingAndGoing) {
    EventLoop loop;
    Devices d({"video0"});
    V4l2Camera camera(d.folder);
    int changes = 0;
    camera.watch([&] { ++changes; });
    auto settle = [&] { loop.settle(); };
    std::ofstream(d.folder + "/tty9") << "";
    settle();
    EXPECT_EQ(changes, 0) << "other devices are no news";
    std::ofstream(d.node("video2")) << "";
    settle();
    EXPECT_EQ(changes, 1);
    std::filesystem::remove(d.node("video0"));
    settle();
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(camera.present());
}

TEST(V4l2Camera, ReportsOnceWhenTheProgramThatHeldANodeLetsItGo) {
    EventLoop loop;
    Devices d({"video0"});
    const std::string fd = d.folder + "/proc/4242/fd/3";
    std::filesystem::create_directories(d.folder + "/proc/4242/fd");
    std::filesystem::create_symlink(d.node("video0"), fd); // a program holds it
    V4l2Camera camera(
        d.folder, [](cv::VideoCapture&, const std::string&) { return false; }, d.folder + "/proc");
    int released = 0;
    camera.watchRelease([&] { ++released; });
    auto closeAndSettle = [&] {
        std::ifstream(d.node("video0")).get();
        loop.settle();
    };
    auto source = camera.make([] { return 0.0; });
    ASSERT_FALSE(source->open());
    ASSERT_EQ(source->trouble(), CameraTrouble::busy);
    closeAndSettle();
    EXPECT_EQ(released, 0) << "our own tries close it while the holder stays";
    std::filesystem::remove(fd);
    closeAndSettle();
    closeAndSettle(); // a node nobody holds is no news
    EXPECT_EQ(released, 1);
}

} // namespace
} // namespace helm
