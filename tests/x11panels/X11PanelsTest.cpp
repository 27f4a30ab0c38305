// The overlay panels on a real X server (Xvfb, 1920 × 1080), with and without a compositing
// manager (xcompmgr, started here).
#include "app/App.h"
#include "app/Log.h"
#include "overlays/draw/JumpPreview.h"
#include "overlays/draw/JumpsLoad.h"
#include "overlays/panels/MacOverlays.h"
#include "overlays/panels/StatusPanel.h"
#include "platform/x11/X11DesktopWindows.h"
#include "platform/x11/X11DisplaySource.h"
#include "platform/x11/X11Input.h"
#include "platform/x11/X11Pointer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

// gtest before Xlib: Xlib's macros (None, Bool) break gtest's templates.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace helm;

namespace {

int argc = 1;
char name[5] = "test";
char* argv[2] = {name, nullptr};

QApplication& qapp() {
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "xcb");
        return new QApplication(argc, argv);
    }();
    return *app;
}

// Runs the event loop until done or the time is up.
bool until(const std::function<bool()>& done, int ms = 2000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return done();
}

struct X11PanelsTest : ::testing::Test {
    Display* dpy = nullptr;
    X11DisplaySource list;
    X11DesktopWindows windows;
    std::vector<std::string> lines;

    void SetUp() override {
        qapp();
        dpy = XOpenDisplay(nullptr);
        ASSERT_NE(nullptr, dpy);
    }
    void TearDown() override {
        if (dpy != nullptr) {
            XCloseDisplay(dpy);
        }
    }

    void setUp(MacOverlays& o) {
        o.displays = &list;
        o.windows = &windows;
        o.log = [this](const std::string& l) { lines.push_back(l); };
    }

    XWindowAttributes attributes(unsigned long w) {
        XWindowAttributes a{};
        XSync(dpy, False);
        XGetWindowAttributes(dpy, w, &a);
        return a;
    }
    bool mapped(unsigned long w) { return attributes(w).map_state == IsViewable; }
    Window focus() {
        Window f = 0;
        int revert = 0;
        XGetInputFocus(dpy, &f, &revert);
        return f;
    }
    // Translates a window's origin to root coordinates.
    QPoint rootOf(unsigned long w) {
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(dpy, w, DefaultRootWindow(dpy), 0, 0, &x, &y, &child);
        return {x, y};
    }
};

// A compositing manager for the length of a test.
struct Compositor {
    QProcess p;
    explicit Compositor(X11DesktopWindows& w) {
        p.start("xcompmgr", {});
        until([&w] { return w.compositing(); }, 3000);
    }
    ~Compositor() {
        p.terminate();
        p.waitForFinished(2000);
    }
};

JumpRecipe heaviest() {
    JumpRecipe r;
    r.id = "ring";
    r.dur = 0.5;
    JumpRecipe::Layer l;
    l.type = "ring";
    r.layers = {l};
    return r;
}

} // namespace

TEST_F(X11PanelsTest, ATargetPanelCoversItsScreenTakesNoFocusAndLetsClicksThrough) {
    // A plain window below, listening for clicks.
    Window below = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1920, 1080, 0, 0, 0);
    XSelectInput(dpy, below, ButtonPressMask | ButtonReleaseMask);
    XMapWindow(dpy, below);
    XSetInputFocus(dpy, below, RevertToParent, CurrentTime);
    XSync(dpy, False);
    const Window before = focus();

    MacOverlays o;
    setUp(o);
    o.show(0, 1, "Main", TargetMode::number());
    ASSERT_EQ(1u, o.panels().size());
    const auto w = static_cast<unsigned long>(o.panels().at(0)->winId());
    ASSERT_TRUE(until([&] { return mapped(w); }));
    const XWindowAttributes a = attributes(w);
    EXPECT_TRUE(a.override_redirect);
    EXPECT_EQ(1920, a.width);
    EXPECT_EQ(1080, a.height);
    EXPECT_EQ(QPoint(0, 0), rootOf(w));
    EXPECT_EQ(before, focus());

    // A real click inside both lands on the window below, and the focus stays where it was.
    XTestFakeMotionEvent(dpy, -1, 300, 300, CurrentTime);
    XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
    XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
    XSync(dpy, False);
    std::vector<int> got;
    until([&] {
        XEvent e;
        while (XCheckWindowEvent(dpy, below, ButtonPressMask | ButtonReleaseMask, &e)) {
            got.push_back(e.type);
        }
        return got.size() >= 2;
    });
    EXPECT_EQ((std::vector<int>{ButtonPress, ButtonRelease}), got);
    EXPECT_EQ(before, focus());

    o.hideAll();
    EXPECT_TRUE(until([&] { return !mapped(w); }));
    o.show(0, 1, "Main", TargetMode::camera());
    EXPECT_TRUE(until([&] { return mapped(w); }));
    EXPECT_EQ(w, static_cast<unsigned long>(o.panels().at(0)->winId()));
    XDestroyWindow(dpy, below);
}

TEST_F(X11PanelsTest, WithoutACompositorATargetPanelIsCutToWhatItDraws) {
    // A grey window stands for the desktop, which must stay in view around the content.
    const unsigned long grey = 0x808080;
    Window below = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1920, 1080, 0, 0, grey);
    XMapWindow(dpy, below);
    // The area's pixels, as the screen shows them.
    auto pixels = [this](QRect area) {
        XSync(dpy, False);
        std::vector<unsigned long> out;
        if (XImage* shot = XGetImage(dpy, DefaultRootWindow(dpy), area.x(), area.y(), area.width(),
                                     area.height(), AllPlanes, ZPixmap)) {
            for (int y = 0; y < area.height(); ++y)
                for (int x = 0; x < area.width(); ++x)
                    out.push_back(XGetPixel(shot, x, y) & 0xFFFFFF);
            XDestroyImage(shot);
        }
        return out;
    };
    auto green = [](unsigned long p) { return ((p >> 8) & 0xFF) > ((p >> 16) & 0xFF) + 60; };
    struct Case {
        const char* name;
        TargetMode mode;
        QRect drawn;              // holds some of its content (in logical pixels' reach too)
        std::vector<QPoint> away; // points well clear of it
    };
    const Case cases[] = {
        {"number",
         TargetMode::number(),
         {860, 380, 200, 200},
         {{100, 100}, {1800, 980}, {500, 540}}},
        {"corner", TargetMode::at(CalCorner::br), {1841, 1001, 7, 7}, {{100, 100}, {960, 540}}},
        {"camera", TargetMode::camera(), {957, 57, 7, 70}, {{100, 100}, {960, 540}, {300, 60}}},
        {"dark", TargetMode::dark(), {}, {{100, 100}, {960, 540}}},
    };
    MacOverlays o;
    setUp(o);
    ASSERT_FALSE(windows.compositing());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        o.show(0, 7, "Main", c.mode);
        const auto w = static_cast<unsigned long>(o.panels().at(0)->winId());
        const bool shows = c.mode.kind != TargetMode::Kind::dark;
        ASSERT_EQ(shows, until([&] { return mapped(w); }, shows ? 2000 : 200));
        if (shows) {
            EXPECT_TRUE(until([&] {
                auto all = pixels(c.drawn);
                return std::any_of(all.begin(), all.end(), green);
            }));
        }
        for (QPoint at : c.away) {
            EXPECT_EQ(std::vector<unsigned long>{grey}, pixels(QRect(at, QSize(1, 1))))
                << at.x() << "," << at.y();
        }
        o.hideAll();
        until([&] { return !mapped(w); });
    }
    EXPECT_EQ(std::vector<std::string>{"screens not dimmed: dimming needs a compositing manager"},
              lines);
    XDestroyWindow(dpy, below);
    XSync(dpy, False);
}

TEST_F(X11PanelsTest, TheLandingPanelPlaysOnlyWithACompositor) {
    {
        MacOverlays o;
        setUp(o);
        ASSERT_FALSE(windows.compositing());
        o.arrival({500, 500}, heaviest(), "L", 1, "");
        o.arrival({500, 500}, heaviest(), "L", 1, "");
        EXPECT_EQ(nullptr, o.landing());
        EXPECT_EQ(std::vector<std::string>{"jump effect skipped: no compositing manager"}, lines);
    }
    Compositor c(windows);
    ASSERT_TRUE(windows.compositing());
    auto pixel = [this] {
        XSync(dpy, False);
        XImage* shot = XGetImage(dpy, DefaultRootWindow(dpy), 1500, 900, 1, 1, AllPlanes, ZPixmap);
        const unsigned long p = shot != nullptr ? XGetPixel(shot, 0, 0) & 0xFFFFFF : 1u << 30;
        if (shot != nullptr) {
            XDestroyImage(shot);
        }
        return p;
    };
    MacOverlays o;
    setUp(o);
    o.arrival({500, 500}, heaviest(), "L", 1, "");
    QElapsedTimer t; // the order-out is timed from the end of the arrival
    t.start();
    ASSERT_NE(nullptr, o.landing());
    const auto w = static_cast<unsigned long>(o.landing()->winId());
    ASSERT_TRUE(until([&] { return mapped(w); }));
    // Mid-effect the desktop still shows away from the landing point: the panel is see-through.
    until([] { return false; }, 100);
    const unsigned long during = pixel();
    ASSERT_TRUE(until([&] { return !mapped(w); }, 3000));
    EXPECT_NEAR(600, t.elapsed(), 50);
    // After the effect the compositor shows the bare desktop: the same as during it.
    until([] { return false; }, 100);
    EXPECT_EQ(pixel(), during);
}

TEST_F(X11PanelsTest, TheStatusBoxSitsInItsCornerAndTakesNoFocus) {
    Compositor c(windows);
    const Window before = focus();
    HUDModel model;
    StatusPanel box(model, &windows);
    box.front();
    const auto w = static_cast<unsigned long>(box.winId());
    ASSERT_TRUE(until([&] { return mapped(w); }));
    const XWindowAttributes a = attributes(w);
    EXPECT_EQ(280, a.width);
    EXPECT_EQ(74, a.height);
    EXPECT_EQ(QPoint(1620, 986), rootOf(w));
    EXPECT_FALSE(a.override_redirect) << "a managed window";
    EXPECT_EQ(before, focus());

    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(dpy, w, XInternAtom(dpy, "_NET_WM_STATE", False), 0, 64, False,
                       AnyPropertyType, &type, &format, &count, &after, &data);
    std::vector<Atom> states(reinterpret_cast<Atom*>(data), reinterpret_cast<Atom*>(data) + count);
    XFree(data);
    for (const char* want :
         {"_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
        EXPECT_NE(states.end(),
                  std::find(states.begin(), states.end(), XInternAtom(dpy, want, False)))
            << want;
    }
    box.hide();
    EXPECT_TRUE(until([&] { return !mapped(w); }));
    box.front();
    EXPECT_TRUE(until([&] { return mapped(w); }));
    EXPECT_EQ(QPoint(1620, 986), rootOf(w));
}

TEST_F(X11PanelsTest, AGlidesOwnMovesDoNotStopItAndItEndsOnItsPoint) {
    QTemporaryDir dir;
    setLogPath(dir.path().toStdString() + "/pivmor.log");
    Defaults defaults;
    Platform p;
    p.displays = std::make_unique<X11DisplaySource>();
    p.pointer = std::make_unique<X11Pointer>();
    p.input = X11Input::open("", [](const std::string&) {});
    ASSERT_TRUE(p.input);
    App app(CommandLine({"helmvantor", "--no-camera"}), defaults, std::move(p));
    app.installTap(false);
    XWarpPointer(dpy, 0, DefaultRootWindow(dpy), 0, 0, 0, 0, 100, 100);
    XSync(dpy, False);
    until([] { return false; }, 100); // the warp's own motion is the user's: let it pass first

    app.glide(JumpRecipe::Motion{"glide", 220.0, 40.0}, 0.3, {960, 540}, "L", {0, 0, 1920, 1080});
    ASSERT_TRUE(until([&] { return !app.glideTimer.running(); }, 3000));
    Window r = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    XQueryPointer(dpy, DefaultRootWindow(dpy), &r, &child, &rx, &ry, &wx, &wy, &mask);
    EXPECT_EQ(960, rx);
    EXPECT_EQ(540, ry);
    setLogPath("");
}

// Where no compositing manager runs the server tells when a window is wholly covered: the
// effect previews stop painting what nobody sees, and play again once the cover is gone.
TEST_F(X11PanelsTest, PreviewsStopWhileTheirWindowIsCovered) {
    std::optional<Jumps::File> file = Jumps::load();
    ASSERT_TRUE(file);
    ASSERT_FALSE(windows.compositing());
    const double now = 0.3; // the glide plays then
    QWidget window;
    auto* v = new JumpPreview(
        *Jumps::choose(file, "glide"), "#30D158", [] { return false; }, &window,
        [&] { return now; });
    window.resize(320, 180);
    v->resize(320, 180);
    window.show();
    windows.watchCover(static_cast<unsigned long>(window.winId()), [&window](bool covered) {
        window.setProperty(JumpPreview::coveredProperty, covered);
    });
    ASSERT_TRUE(until([&] { return v->playing(); }));
    Window cover = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1920, 1080, 0, 0, 0);
    XMapRaised(dpy, cover);
    XSync(dpy, False);
    EXPECT_TRUE(until([&] { return !v->playing(); })) << "covered";
    XUnmapWindow(dpy, cover);
    XSync(dpy, False);
    EXPECT_TRUE(until([&] { return v->playing(); })) << "shown again";
    XDestroyWindow(dpy, cover);
    XSync(dpy, False);
}
