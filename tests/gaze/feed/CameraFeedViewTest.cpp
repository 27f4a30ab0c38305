#include "gaze/feed/CameraFeedView.h"
#include "gaze/feed/DistanceMeter.h"
#include "gaze/feed/FeedModel.h"
#include "gaze/feed/PreviewView.h"
#include "support/WidgetApplication.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QSignalSpy>

#include <cstdlib>

namespace helm {
namespace {

void application() {
    test::needWidgetApplication("camera_feed_view_test");
}

// Only compared with null by the views.
GazeEngine* someEngine() {
    static int engine;
    return reinterpret_cast<GazeEngine*>(&engine);
}

const Face kWell{{0.4, 0.4, 0.2, 0.2}, 0.9};
const Face kFar{{0.45, 0.45, 0.08, 0.1}, 0.9};

TEST(CameraFeedView, ShowsWhatTheFeedSays) {
    application();
    struct Case {
        const char* what;
        bool session, on, seen, compact;
        std::optional<Face> face;
        bool picture;
        const char* text;
        bool warns, box;
        std::optional<double> meter;
        const char* spoken;
    };
    const Case cases[] = {
        {"camera off", true, false, true, false, kWell, false, "Camera is off", true, false, 0.2,
         "Camera view. Camera is off"},
        {"no session", false, true, true, false, kWell, false,
         "Good spot. Helmvantor sees you clearly.", false, true, 0.2,
         "Camera view. Good spot, Helmvantor sees you clearly."},
        {"well placed", true, true, true, false, kWell, true,
         "Good spot. Helmvantor sees you clearly.", false, true, 0.2,
         "Camera view. Good spot, Helmvantor sees you clearly."},
        {"well placed, compact", true, true, true, true, kWell, true, "Good spot", false, true,
         std::nullopt, "Camera view. Good spot, Helmvantor sees you clearly."},
        {"too far", true, true, true, false, kFar, true, "Too far from the camera", true, true,
         0.08, "Camera view. Too far from the camera"},
        {"not seen, face kept", true, true, false, false, kWell, true, "Can't see you", true, false,
         std::nullopt, "Camera view. Can't see you"},
    };
    for (const Case& c : cases) {
        FeedModel feed;
        feed.session = c.session ? someEngine() : nullptr;
        feed.setCameraOn(c.on);
        feed.setSeen(c.seen);
        feed.setFace(c.face);
        CameraFeedView view(feed, c.compact);
        view.resize(440, 330);
        EXPECT_EQ(c.picture, view.preview()->isVisibleTo(&view)) << c.what;
        EXPECT_EQ(QString(c.text), view.hintText()) << c.what;
        EXPECT_EQ(c.warns, view.warns()) << c.what;
        EXPECT_EQ(c.box, view.shownFace().has_value()) << c.what;
        EXPECT_EQ(c.compact, view.meter() == nullptr) << c.what;
        if (view.meter() != nullptr) {
            EXPECT_EQ(c.meter, view.meter()->width()) << c.what;
        }
        EXPECT_EQ(QString(c.spoken), view.accessibleName()) << c.what;
    }
}

// At the sizes the windows show it (guide 440, camera tab 330, head-and-eyes tab 240 compact),
// every hint is set whole, at 0.8 of its size or more; where it cannot sit beside the meter,
// the meter moves below it.
TEST(CameraFeedView, HintsAreNeverCutShort) {
    application();
    const Face light{{0.4, 0.4, 0.2, 0.2}, 0.3};
    const struct {
        int width;
        bool compact;
        std::optional<Face> face;
        bool stacked;
    } cases[] = {
        {440, false, kWell, false}, {440, false, light, false}, {330, false, kFar, true},
        {330, false, kWell, true},  {330, false, light, true},  {240, true, light, false},
    };
    for (const auto& c : cases) {
        FeedModel feed;
        feed.setCameraOn(true);
        feed.setSeen(true);
        feed.setFace(c.face);
        CameraFeedView view(feed, c.compact);
        view.resize(c.width, c.width * 3 / 4);
        const CameraFeedView::HintLayout h = view.hintLayout();
        const std::string what = view.hintText().toStdString() + " at " + std::to_string(c.width);
        EXPECT_LE(QFontMetricsF(h.font).horizontalAdvance(view.hintText()), h.room) << what;
        EXPECT_GE(h.font.pointSizeF(),
                  0.8 * Fonts::font(c.compact ? 12 : 13, QFont::DemiBold).pointSizeF() - 1e-6)
            << what;
        EXPECT_EQ(c.stacked, h.stacked) << what;
        if (view.meter() != nullptr) {
            view.show(); // placed on its first resize event
            QCoreApplication::processEvents();
            EXPECT_TRUE(QRectF(QPointF(), view.area().size()).contains(view.meter()->geometry()))
                << what;
        }
    }
}

TEST(CameraFeedView, FaceBoxIsMirroredAndTurnedUpright) {
    struct Case {
        Box box;
        QRectF drawn;
    };
    const Case cases[] = {
        {{0, 0, 0.25, 0.5}, {300, 150, 100, 150}},  // bottom left of the image: bottom right
        {{0.75, 0.5, 0.25, 0.5}, {0, 0, 100, 150}}, // top right of the image: top left
        {{0.4, 0.4, 0.2, 0.2}, {160, 120, 80, 60}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.drawn, CameraFeedView::faceRect(c.box, {400, 300}));
    }

    // Drawn: a face at the image's left edge shows at the view's right edge, in green.
    application();
    FeedModel feed;
    feed.session = someEngine();
    feed.setCameraOn(true);
    feed.setSeen(true);
    feed.setFace(Face{{0.0, 0.35, 0.4, 0.3}, 0.9});
    CameraFeedView view(feed, true);
    view.resize(400, 300);
    QImage image(view.size(), QImage::Format_ARGB32);
    view.render(&image);
    auto greenAt = [&](int x, int y) {
        QColor c = image.pixelColor(x, y);
        return c.green() > 150 && c.red() < 120;
    };
    const QRectF box = *view.shownFace();
    EXPECT_DOUBLE_EQ(400, box.right());
    EXPECT_TRUE(greenAt(int(box.left()), int(box.center().y())));
    EXPECT_FALSE(greenAt(1, int(box.center().y())));
}

TEST(FrameSlot, KeepsTheNewestFrameOnlyWhileWatchedAndPostsOnce) {
    application();
    FeedModel feed;
    QSignalSpy ready(&feed.frames, &FrameSlot::ready);
    auto frame = [](int v) { return Frame{cv::Mat(2, 2, CV_8UC1, cv::Scalar(v)), 0}; };

    feed.frames.push(frame(1));
    EXPECT_TRUE(feed.frames.latest().empty()) << "nobody watching: not kept";

    feed.frames.watch(true);
    for (int v : {2, 3, 4}) {
        feed.frames.push(frame(v));
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(1, ready.count()) << "one wake-up for a burst of frames";
    EXPECT_EQ(4, feed.frames.latest().at<uchar>(0, 0));

    feed.setCameraOn(true);
    feed.setCameraOn(false);
    EXPECT_TRUE(feed.frames.latest().empty()) << "dropped when the camera goes off";
}

TEST(PreviewView, PictureIsMirroredAndFillsTheView) {
    EXPECT_EQ(QRectF(0, -25, 200, 150), PreviewView::fill({640, 480}, {200, 100}));
    EXPECT_EQ(QRectF(-50, 0, 200, 150), PreviewView::fill({640, 480}, {100, 150}));

    application();
    FrameSlot frames;
    PreviewView view(frames, 0);
    view.resize(80, 60);
    view.show();
    cv::Mat image(30, 40, CV_8UC3, cv::Scalar(255, 0, 0)); // blue, in BGR
    image.colRange(0, 20).setTo(cv::Scalar(0, 0, 255));    // left half red
    frames.push(Frame{image, 0});
    QCoreApplication::processEvents();
    ASSERT_FALSE(view.picture().isNull());
    QImage drawn(view.size(), QImage::Format_ARGB32);
    view.render(&drawn);
    EXPECT_EQ(QColor(Qt::blue), drawn.pixelColor(5, 30)) << "the camera's right on the left";
    EXPECT_EQ(QColor(Qt::red), drawn.pixelColor(75, 30));
}

} // namespace
} // namespace helm
